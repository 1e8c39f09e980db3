#include "VbProjectGen.h"

#include "platform/rtl/SysUtils.h"
#include "scanmodel/SourceFiles.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string_view>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qxbench {
namespace {

// --- sizes ---

/// Lines of the form layout blocks (and the few user-control blocks) among all lines.
constexpr double LayoutShare = 0.395;
constexpr long LongLine = 150;

// --- random numbers ---

/// std::mt19937 gives the same numbers everywhere, the distributions of <random> do not: picks
/// use plain remainders so that every build writes the same project.
class TRng {
public:
    explicit TRng(std::uint32_t Seed) : mGen(Seed) {}
    std::uint32_t Below(std::size_t N) { return static_cast<std::uint32_t>(mGen() % N); }
    int Range(int Lo, int Hi) { return Lo + static_cast<int>(Below(static_cast<std::size_t>(Hi - Lo + 1))); }
    bool Percent(int P) { return Below(100) < static_cast<std::uint32_t>(P); }
    bool PerMille(int P) { return Below(1000) < static_cast<std::uint32_t>(P); }
    /// 0 … 1, more often small: sizes of modules are skewed, a few are very large.
    double Skewed() {
        const double U = static_cast<double>(Below(10000)) / 10000.0;
        return U * U;
    }
    template <class C>
    const auto& Pick(const C& Items) {
        return Items[Below(std::size(Items))];
    }

private:
    std::mt19937 mGen;
};

// --- the business domain ---

/// A field: its type letter (s String, c Currency, l Long, i Integer code, n Double, b Boolean,
/// d Date) and name.
struct TField {
    char Type;
    std::string Name;
};

struct TEntity {
    std::string Name;  ///< "Customer"
    std::string Table; ///< "Customers"
    std::string Key;   ///< "CustomerID"
    std::vector<TField> Fields;
    std::vector<const TField*> Texts; ///< fields shown in text boxes
    std::vector<const TField*> Dates;
    std::vector<const TField*> Codes; ///< fields chosen from a combo box
};

struct TEntitySource {
    const char* Name;
    const char* Table;
    const char* Key;
    const char* Fields; ///< type letter + name, blank-separated
};

const TEntitySource EntitySources[] = {
    {"Customer", "Customers", "CustomerID",
     "sCustomerName sContactName sStreet sCity sPostCode sCountry sPhone sFax sEmail cCreditLimit nDiscount "
     "iPriceGroup sNotes dDateCreated dLastOrderDate"},
    {"Order", "Orders", "OrderID",
     "lCustomerID sReference cAmount cVatAmount cFreight iStatus iShipVia sNotes dOrderDate dRequiredDate "
     "dShipDate"},
    {"Invoice", "Invoices", "InvoiceID",
     "sInvoiceNo lCustomerID cNetAmount cVatAmount cGrossAmount bPaid sCurrency iReminderLevel dInvoiceDate "
     "dDueDate "
     "dPaidOn"},
    {"Product", "Products", "ProductID",
     "sProductCode sDescription cUnitPrice lUnitsInStock lReorderLevel lSupplierID iCategory nWeight "
     "bDiscontinued "
     "dLastUpdated"},
    {"Employee", "Employees", "EmployeeID",
     "sFirstName sLastName sInitials sTitle sExtension cSalary iDepartment dBirthDate dHireDate dLeaveDate"},
    {"Payment", "Payments", "PaymentID",
     "lInvoiceID cAmount iMethod sChequeNo sBankCode sReference dPaymentDate dValueDate"},
    {"Supplier", "Suppliers", "SupplierID",
     "sCompanyName sContactName sStreet sCity sPostCode sPhone iTerms sAccountNo dDateCreated"},
    {"Contract", "Contracts", "ContractID",
     "sContractNo lCustomerID cValue iNoticePeriod sTerms bAutoRenew dStartDate dEndDate dSignedOn"},
    {"Account", "Accounts", "AccountNo",
     "sAccountName cBalance iAccountType sCostCentre bBlocked dOpenedOn dPeriodEnd"},
    {"Shipment", "Shipments", "ShipmentID",
     "lOrderID sCarrier sTrackingNo nWeight lPackages iStatus dShipDate dDeliveryDate"},
    {"Booking", "Bookings", "BookingID",
     "sGuestName sRoomNo lGuests cRate lNights iStatus dArrivalDate dDepartureDate dBookedOn"},
    {"Movement", "StockMovements", "MovementID",
     "lProductID lQuantity sWarehouse sBinLocation iMovementType dMovementDate dBestBefore"},
};

std::vector<TEntity> MakeEntities() {
    std::vector<TEntity> Result;
    for (const TEntitySource& S : EntitySources) {
        TEntity E{S.Name, S.Table, S.Key, {}, {}, {}, {}};
        std::string_view Rest = S.Fields;
        while (!Rest.empty()) {
            const std::size_t Blank = std::min(Rest.find(' '), Rest.size());
            E.Fields.push_back({Rest[0], std::string(Rest.substr(1, Blank - 1))});
            Rest.remove_prefix(std::min(Blank + 1, Rest.size()));
        }
        for (const TField& F : E.Fields)
            (F.Type == 'd'   ? E.Dates
             : F.Type == 'i' ? E.Codes
             : F.Type == 'b' ? E.Codes
                             : E.Texts)
                .push_back(&F);
        Result.push_back(std::move(E));
    }
    return Result;
}

const char* TypeName(char Type) {
    switch (Type) {
    case 's':
        return "String";
    case 'c':
        return "Currency";
    case 'l':
        return "Long";
    case 'i':
        return "Integer";
    case 'n':
        return "Double";
    case 'b':
        return "Boolean";
    default:
        return "Date";
    }
}

const char* TypePrefix(char Type) {
    switch (Type) {
    case 's':
        return "str";
    case 'c':
        return "cur";
    case 'l':
        return "lng";
    case 'i':
        return "int";
    case 'n':
        return "dbl";
    case 'b':
        return "bln";
    default:
        return "dtm";
    }
}

/// "CustomerName" as "Customer Name".
std::string SplitWords(std::string_view Name) {
    std::string S;
    for (std::size_t I = 0; I < Name.size(); ++I) {
        if (I > 0 && Name[I] >= 'A' && Name[I] <= 'Z' && Name[I - 1] >= 'a' && Name[I - 1] <= 'z')
            S += ' ';
        S += Name[I];
    }
    return S;
}

/// Languages of captions, messages and comments: English, German, French.
enum TLang { lnEnglish, lnGerman, lnFrench };

/// Captions of some fields in German and French; the other fields keep their English words.
const char* const Captions[][3] = {
    {"CustomerName", "Kundenname", "Nom du client"},
    {"ContactName", "Ansprechpartner", "Interlocuteur"},
    {"Street", "Straße", "Rue"},
    {"City", "Ort", "Ville"},
    {"PostCode", "PLZ", "Code postal"},
    {"Country", "Land", "Pays"},
    {"Phone", "Telefon", "Téléphone"},
    {"Notes", "Bemerkungen", "Remarques"},
    {"OrderDate", "Bestelldatum", "Date de commande"},
    {"DueDate", "Fälligkeit", "Échéance"},
    {"InvoiceDate", "Rechnungsdatum", "Date de facture"},
    {"Amount", "Betrag", "Montant"},
    {"Description", "Bezeichnung", "Désignation"},
    {"Quantity", "Menge", "Quantité"},
    {"DateCreated", "Angelegt am", "Créé le"},
    {"StartDate", "Gültig ab", "Début"},
    {"EndDate", "Gültig bis", "Fin"},
    {"BirthDate", "Geburtsdatum", "Date de naissance"},
    {"Weight", "Gewicht", "Poids"},
    {"CompanyName", "Firma", "Société"},
    {"Discount", "Rabatt", "Remise"},
    {"PaymentDate", "Zahlungsdatum", "Date de paiement"},
    {"Status", "Status", "État"},
    {"NetAmount", "Nettobetrag", "Montant HT"},
    {"GrossAmount", "Bruttobetrag", "Montant TTC"},
    {"VatAmount", "MwSt.", "TVA"},
    {"UnitPrice", "Einzelpreis", "Prix unitaire"},
    {"ShipDate", "Versanddatum", "Date d'expédition"},
    {"DeliveryDate", "Lieferdatum", "Date de livraison"},
    {"Paid", "Bezahlt", "Payé"},
    {"Reference", "Zeichen", "Référence"},
    {"Terms", "Zahlungsbedingungen", "Conditions"},
    {"HireDate", "Eintritt", "Embauché le"},
    {"LeaveDate", "Austritt", "Départ"},
    {"Salary", "Gehalt", "Salaire"},
    {"Title", "Anrede", "Titre"},
    {"ArrivalDate", "Anreise", "Arrivée"},
    {"DepartureDate", "Abreise", "Départ"},
    {"Nights", "Nächte", "Nuits"},
    {"Warehouse", "Lager", "Entrepôt"},
    {"BestBefore", "Mindestens haltbar bis", "À consommer avant"},
    {"Balance", "Saldo", "Solde"},
};

std::string Caption(const std::string& Field, TLang Lang) {
    if (Lang != lnEnglish)
        for (const auto& C : Captions)
            if (Field == C[0])
                return C[Lang];
    return SplitWords(Field);
}

const char* const Messages[][3] = {
    {"Please enter a valid date.", "Bitte geben Sie ein gültiges Datum ein.",
     "Veuillez saisir une date valide."},
    {"Record saved.", "Datensatz wurde gespeichert.", "L'enregistrement a été sauvegardé."},
    {"Do you want to save the changes?", "Möchten Sie die Änderungen speichern?",
     "Voulez-vous enregistrer les modifications ?"},
    {"The record could not be saved.", "Der Datensatz konnte nicht gespeichert werden.",
     "L'enregistrement n'a pas pu être sauvegardé."},
    {"Delete this record?", "Datensatz löschen?", "Supprimer cet enregistrement ?"},
    {"No records found.", "Keine Datensätze gefunden.", "Aucun enregistrement trouvé."},
    {"Invalid Date", "Ungültiges Datum", "Date non valide"},
    {"The due date lies before the invoice date.", "Das Fälligkeitsdatum liegt vor dem Rechnungsdatum.",
     "La date d'échéance précède la date de facture."},
    {"Ready", "Bereit", "Prêt"},
    {"Loading, please wait...", "Daten werden geladen...", "Chargement en cours..."},
    {"Access denied.", "Zugriff verweigert.", "Accès refusé."},
    {"Delivery Time must be entered.", "Die Lieferzeit fehlt.", "Le délai de livraison manque."},
    {"Printing...", "Druck läuft...", "Impression en cours..."},
    {"The period is closed.", "Die Periode ist abgeschlossen.", "La période est clôturée."},
    {"Amount exceeds the credit limit.", "Betrag übersteigt das Kreditlimit.",
     "Le montant dépasse la limite."},
    {"Year-end processing is complete.", "Jahresabschluss beendet.", "Clôture annuelle terminée."},
};

/// Comments of routine bodies; % stands for a keyword of the scan's list.
const char* const Comments[][3] = {
    {"Load the record into the controls", "Datensatz in die Felder laden", "Charger l'enregistrement"},
    {"Save changes back to the database", "Änderungen zurückschreiben", "Enregistrer les modifications"},
    {"TODO: check this for the year 2000", "TODO: Jahr 2000 prüfen", "A FAIRE : vérifier l'an 2000"},
    {"Two-digit years below 30 are taken as 20xx", "Zweistellige Jahre unter 30 sind 20xx",
     "Années à deux chiffres : < 30 => 20xx"},
    {"Calculate the due date from the payment terms", "Fälligkeit aus den Zahlungsbedingungen berechnen",
     "Calculer l'échéance"},
    {"Nothing selected: nothing to do", "Nichts gewählt", "Rien de sélectionné"},
    {"Refresh the totals", "Summen neu berechnen", "Recalculer les totaux"},
    {"The % is stored as text in old databases", "% steht in alten Datenbanken als Text",
     "% : texte dans les anciennes bases"},
    {"Keep the % for the report", "% für den Bericht merken", "Garder % pour le rapport"},
    {"Don't use Now here: the server's clock counts", "Hier nicht Now verwenden: die Serverzeit gilt",
     "Ne pas utiliser Now ici"},
    {"Fill the grid", "Tabelle füllen", "Remplir la grille"},
    {"Quotes in names must be doubled for SQL", "Hochkommas für SQL verdoppeln", "Doubler les apostrophes"},
    {"Ignore errors while closing", "Fehler beim Schließen übergehen", "Ignorer les erreurs à la fermeture"},
    {"Returns True when all fields are filled in", "Liefert True, wenn alle Felder gefüllt sind",
     "Renvoie True si tout est rempli"},
    {"Format as % (Y2K)", "Als % formatieren (Y2K)", "Formater en % (an 2000)"},
    {"Check the access rights first", "Zuerst die Rechte prüfen", "Vérifier d'abord les droits"},
};

const char* const DateFormats[] = {"dd/mm/yy", "dd/mm/yyyy",   "mm/dd/yy",    "dd.mm.yy",  "dd.mm.yyyy",
                                   "yyyymmdd", "dd-mmm-yy",    "Short Date",  "Long Date", "mm/yy",
                                   "dd/mm/yy", "General Date", "d mmmm yyyy", "ddmmyy",    "yymmdd"};
const char* const NumberFormats[] = {"Currency", "#,##0.00", "0.00",  "Fixed",
                                     "Standard", "Percent",  "#,##0", "0"};
const char* const StringVars[] = {"strName", "sText",  "strValue", "sTemp",      "strMsg",
                                  "sFilter", "strKey", "sLine",    "strCaption", "sResult"};
const char* const NumberVars[] = {"i",     "j",    "nCount", "lngCount",  "intIndex", "nRow",
                                  "lngID", "nPos", "iRet",   "lngResult", "nItems"};
const char* const AmountVars[] = {"curTotal", "curAmount", "curNet", "curVat", "curBalance", "curSum"};
const char* const DateVars[] = {"dtStart",  "dtEnd",      "dtFrom",      "dtTo",       "dtDue",
                                "dtmOrder", "datInvoice", "dtNext",      "dtLast",     "mdtmDue",
                                "dtmValue", "dDate",      "dtPeriodEnd", "mdtmCreated"};

// --- template lines ---
// In the lines below, {F} is a field shown in a text box, {D} a date field, {C} a coded field
// (combo box), {E}/{T}/{K} the entity, its table and key; {tx} {td} {dp} {lb} {cb} {gr} are the
// controls of {F}, {D} and {C}; {sv} {nv} {cv} {dv} variables ({dv2} a second one); {fmt} a date
// format, {nf} a number format, {n} a small number, {col} a column, {ms} a message, {w} a word of
// the scan's list, {R} the routine, {me} the form (Me on the form itself).

const char* const PlainLines[] = {
    "{sv} = Trim$({tx}.Text)",
    R"~({tx}.Text = rs!{F} & "")~",
    "rs!{F} = {tx}.Text",
    R"~(rs.Fields("{F}").Value = Trim$({tx}.Text))~",
    "{cv} = {cv} + rs!{F}",
    "{cv} = CCur(Val({tx}.Text))",
    "{lb}.Caption = {sv}",
    "{nv} = {nv} + 1",
    "If rs.EOF Then Exit Sub",
    "If Len(Trim$({tx}.Text)) = 0 Then Exit Function",
    "Set rs = New ADODB.Recordset",
    "rs.Open strSQL, gcnData, adOpenKeyset, adLockOptimistic",
    "Set rs = gdbData.OpenRecordset(strSQL, dbOpenSnapshot)",
    "rs.MoveNext",
    "rs.Update",
    "rs.AddNew",
    "rs.Close",
    "Set rs = Nothing",
    "Screen.MousePointer = vbHourglass",
    "Screen.MousePointer = vbDefault",
    "{cb}.AddItem rs!{C} & \"\"",
    "{cb}.ItemData({cb}.NewIndex) = rs!{K}",
    "{cb}.ListIndex = -1",
    R"~(Call LoadCombo({cb}, "SELECT {K}, {F} FROM {T} ORDER BY {F}"))~",
    R"~(Call UpdateStatus("{ms}"))~",
    R"~(Call LogError("{R}", Err.Number, Err.Description))~",
    R"~({tx}.Text = Format$({cv}, "{nf}"))~",
    R"~({lb}.Caption = Format({cv}, "{nf}"))~",
    "mblnDirty = True",
    "cmdSave.Enabled = mblnDirty",
    "{tx}.SelStart = 0",
    "{tx}.SelLength = Len({tx}.Text)",
    "Unload {me}",
    "frm{E}.Show vbModal",
    R"~(strSQL = "SELECT * FROM {T} WHERE {K} = " & {nv})~",
    R"~(gcnData.Execute "DELETE FROM {T} WHERE {K} = " & mlng{K})~",
    "DoEvents",
    "{gr}.Rows = {gr}.Rows + 1",
    R"~({gr}.TextMatrix({gr}.Rows - 1, {col}) = rs!{F} & "")~",
    R"~(Debug.Print "{R}: " & {sv})~",
    R"~({sv} = {sv} & ", " & rs!{F})~",
    R"~({sv} = Replace({sv}, "'", "''"))~",
    "{sv} = UCase$(Left$({sv}, 1)) & Mid$({sv}, 2)",
    "If Not ValidateInput() Then Exit Sub",
    "{nv} = InStr(1, {sv}, \";\")",
    "lstItems.AddItem {sv}",
    "Set m{E} = New cls{E}",
    "m{E}.{F} = {tx}.Text",
    "{tx}.Text = m{E}.{F}",
    "{lb}.Visible = ({nv} > 0)",
    "prgProgress.Value = {nv}",
    R"~(sbrStatus.Panels(1).Text = "{ms}")~",
    "{cv} = Round({cv} * (1 + gdblVatRate / 100), 2)",
    "{nv} = {gr}.Row",
    "mlng{K} = Val({gr}.TextMatrix({nv}, 0))",
    "{me}.Caption = App.Title & \" - \" & {sv}",
    "{nv} = UBound(m{F}s) + 1",
    "ReDim Preserve m{F}s({nv})",
    "Call Save{E}",
    "bOK = Save{E}()",
    "Call RefreshList",
    "{tx}.SetFocus",
    "{nv} = rs.RecordCount",
    "rs.Filter = adFilterNone",
    "rs.Sort = \"{F}\"",
    "If {cv} < 0 Then {cv} = 0",
    "{lb}.ForeColor = IIf({cv} < 0, vbRed, vbWindowText)",
    "Close #nFile",
    "Print #nFile, {sv}",
    "nFile = FreeFile",
    "Open strFile For Output As #nFile",
    "Line Input #nFile, {sv}",
    "Kill strFile",
    R"~(strFile = App.Path & "\Export\{E}.txt")~",
    R"~(gstrUser = GetSetting(App.Title, "Login", "User", ""))~",
    "{gr}.Redraw = False",
    "{gr}.Redraw = True",
    "rs.Bookmark = varBookmark",
    "Set rs = Nothing",
    "{nv} = 0",
    "{sv} = \"\"",
    "{cv} = 0",
};

/// Lines that handle dates.
const char* const DateLines[] = {
    R"~({td}.Text = Format$(Date, "{fmt}"))~",
    R"~({td}.Text = Format(rs!{D}, "{fmt}"))~",
    "rs!{D} = CDate({td}.Text)",
    "rs!{D} = Now",
    "rs!{D} = Date",
    R"~(rs.Fields("{D}").Value = Date)~",
    R"~({dv} = DateAdd("d", {n}, Date))~",
    R"~({dv} = DateAdd("m", 1, {dv}))~",
    R"~({dv} = DateAdd("yyyy", 1, {dv}))~",
    R"~({dv} = DateAdd("ww", {n}, {dv2}))~",
    R"~({nv} = DateDiff("d", {dv}, Date))~",
    R"~({nv} = DateDiff("d", rs!{D}, Now))~",
    R"~({nv} = DateDiff("m", {dv}, {dv2}))~",
    "{nv} = Year({dv})",
    "{nv} = Month({dv})",
    "{nv} = Day({dv})",
    "{nv} = Weekday({dv}, vbMonday)",
    "{dv} = DateSerial(Year(Date), Month(Date), 1)",
    "{dv} = DateSerial(Year({dv2}), Month({dv2}) + 1, 0)",
    "{dv} = DateValue({td}.Text)",
    "{dv} = CDate(rs!{D})",
    R"~(lblTime.Caption = Format$(Time, "hh:mm"))~",
    R"~(lblClock.Caption = Format(Now, "hh:nn:ss"))~",
    R"~(sbrStatus.Panels(2).Text = Format$(Date, "{fmt}"))~",
    R"~({sv} = Format$(Now, "yyyymmdd_hhnnss"))~",
    R"~({sv} = "{ms} " & Format(Now, "{fmt}"))~",
    "{nv} = Hour(Now)",
    "{nv} = Minute(Time)",
    "{nv} = Second(Now)",
    "sngStart = Timer",
    R"~(Debug.Print "{R} took " & Format$(Timer - sngStart, "0.000") & " s")~",
    R"~({td}.Text = Format$({dv}, "{fmt}"))~",
    "m{E}.{D} = {dv}",
    "{dp}.Value = Date",
    "{dp}.Value = rs!{D}",
    "rs!{D} = {dp}.Value",
    "{dv} = Date",
    "{dv} = Now",
    "mdtmDue = {dv} + {n}",
    R"~(strSQL = strSQL & " AND {D} >= #" & Format$({dv}, "mm/dd/yyyy") & "#")~",
    R"~(strSQL = strSQL & " AND {D} < " & SQLDate(Date))~",
    "{sv} = Right$(CStr(Year({dv})), 2)",
    R"~(If Len({td}.Text) = 8 Then {td}.Text = Left$({td}.Text, 6) & "19" & Right$({td}.Text, 2))~",
    R"~({nv} = Val(Format$({dv}, "yy")))~",
    R"~(If Not IsDate({td}.Text) Then {td}.Text = "")~",
    "{nv} = Int(({dv} - DateSerial(Year({dv}), 1, 1)) / 7) + 1",
    "If {dv} > Date Then {dv} = Date",
    R"~({lb}.Caption = Format$(rs!{D}, "{fmt}") & " - " & Format$(rs!{D}, "hh:nn"))~",
    "{dv} = {dv2} + 30",
    R"~({td}.Text = "")~",
    "{dv} = DateSerial(1900 + Val(Right$({td}.Text, 2)), Val(Mid$({td}.Text, 4, 2)), Val(Left$({td}.Text, "
    "2)))",
    "If IsNull(rs!{D}) Then {td}.Text = \"\" Else {td}.Text = Format$(rs!{D}, \"{fmt}\")",
    "{nv} = {nv} + DateDiff(\"n\", rs!StartTime, rs!EndTime)",
    "{sv} = MonthName(Month({dv})) & \" \" & Year({dv})",
    "gdtmToday = Date",
};

/// Lines that hold a keyword without handling a date.
const char* const LookAlikeLines[] = {
    R"~({lb}.Caption = Format({cv}, "Currency"))~",
    R"~({tx}.Text = Format$({cv}, "#,##0.00"))~",
    "gcnData.ConnectionTimeout = 30",
    "If {nv} > glngTimeout Then Exit Do",
    "{nv} = Val(txtDays.Text)",
    "tmrRefresh.Interval = nSeconds * 1000",
    R"~(txtPercent.Text = Format$(dblRate * 100, "0.0") & " %")~",
    "Timer1.Enabled = False",
    "lngDays = {nv} * 7",
    R"~(If rs!PaymentTerms = "30 Days" Then {nv} = 30)~",
    "Call UpdateStatus(\"{ms}\")",
    "If Not Validate{E}() Then Exit Sub",
    "Call UpdateTotals",
    "mbUpdating = True",
    R"~({sv} = Format$({nv}, "000000"))~",
};

const char* const Conditions[] = {
    "rs.EOF",
    "Not rs.EOF",
    "Len(Trim$({tx}.Text)) = 0",
    "{nv} > 0",
    "mblnDirty",
    "{cb}.ListIndex = -1",
    "IsNull(rs!{F})",
    "Err.Number <> 0",
    R"~(MsgBox("{ms}", vbYesNo + vbQuestion, App.Title) = vbNo)~",
    "{cv} > gcurCreditLimit",
    "Not m{E} Is Nothing",
    "{gr}.Rows > 1",
    "{nv} = vbKeyReturn",
    "Not IsNumeric({tx}.Text)",
    "rs.RecordCount = 0",
    "chk{E}.Value = vbChecked",
};

const char* const DateConditions[] = {
    "Not IsDate({td}.Text)",
    "{dv} > Date",
    R"~(DateDiff("d", {dv}, Date) > {n})~",
    "Year({dv}) < 1900",
    "rs!{D} < Date",
    "Month({dv}) = 12",
    "Weekday({dv}) = vbSaturday Or Weekday({dv}) = vbSunday",
    "IsNull(rs!{D})",
    "CDate({td}.Text) < {dv}",
    "{dv2} < {dv}",
    "Year(Date) <> Year({dv})",
};

const char* const DimLines[] = {
    "Dim rs As ADODB.Recordset",  "Dim strSQL As String",     "Dim i As Integer",
    "Dim dtStart As Date",        "Dim curTotal As Currency", "Dim dtFrom As Date, dtTo As Date",
    "Dim nCount As Long",         "Dim {sv} As String",       "Dim {nv} As Long",
    "Dim {dv} As Date",           "Dim rs As Recordset",      "Dim bOK As Boolean",
    "Dim varBookmark As Variant", "Dim ctl As Control",       "Dim nFile As Integer",
    "Dim sngStart As Single",     "Dim {cv} As Currency",     "Dim strFile As String",
    "Dim lngRet As Long",         "Dim vData As Variant",     "Dim j As Integer",
    "Dim cmd As ADODB.Command",   "Dim sMsg As String",       "Dim itm As ListItem",
    "Dim lngRow As Long",
};

const char* const Declares[] = {
    R"~(Private Declare Function GetPrivateProfileString Lib "kernel32" Alias "GetPrivateProfileStringA" (ByVal lpApplicationName As String, ByVal lpKeyName As Any, ByVal lpDefault As String, ByVal lpReturnedString As String, ByVal nSize As Long, ByVal lpFileName As String) As Long)~",
    R"~(Private Declare Function WritePrivateProfileString Lib "kernel32" Alias "WritePrivateProfileStringA" (ByVal lpApplicationName As String, ByVal lpKeyName As Any, ByVal lpString As Any, ByVal lpFileName As String) As Long)~",
    R"~(Public Declare Function GetTickCount Lib "kernel32" () As Long)~",
    R"~(Public Declare Sub Sleep Lib "kernel32" (ByVal dwMilliseconds As Long))~",
    R"~(Private Declare Function GetComputerName Lib "kernel32" Alias "GetComputerNameA" (ByVal lpBuffer As String, nSize As Long) As Long)~",
    R"~(Private Declare Function GetUserName Lib "advapi32.dll" Alias "GetUserNameA" (ByVal lpBuffer As String, nSize As Long) As Long)~",
    R"~(Private Declare Function SendMessage Lib "user32" Alias "SendMessageA" (ByVal hwnd As Long, ByVal wMsg As Long, ByVal wParam As Long, lParam As Any) As Long)~",
    R"~(Private Declare Function ShellExecute Lib "shell32.dll" Alias "ShellExecuteA" (ByVal hwnd As Long, ByVal lpOperation As String, ByVal lpFile As String, ByVal lpParameters As String, ByVal lpDirectory As String, ByVal nShowCmd As Long) As Long)~",
    R"~(Private Declare Sub GetLocalTime Lib "kernel32" (lpSystemTime As SYSTEMTIME))~",
    R"~(Private Declare Function GetDateFormat Lib "kernel32" Alias "GetDateFormatA" (ByVal Locale As Long, ByVal dwFlags As Long, lpDate As SYSTEMTIME, ByVal lpFormat As String, ByVal lpDateStr As String, ByVal cchDate As Long) As Long)~",
    R"~(Private Declare Function FileTimeToSystemTime Lib "kernel32" (lpFileTime As FILETIME, lpSystemTime As SYSTEMTIME) As Long)~",
};

/// Helper routines of date modules, as written.
const char* const DateHelperRoutines[] = {
    "Public Function FirstOfMonth(ByVal dtValue As Date) As Date\n"
    "    FirstOfMonth = DateSerial(Year(dtValue), Month(dtValue), 1)\n"
    "End Function\n",
    "Public Function SQLDate(ByVal vValue As Variant) As String\n"
    "    If IsNull(vValue) Then\n"
    "        SQLDate = \"Null\"\n"
    "    Else\n"
    "        SQLDate = \"#\" & Format$(vValue, \"mm\\/dd\\/yyyy\") & \"#\"\n"
    "    End If\n"
    "End Function\n",
    "Public Function IsLeapYear(ByVal nYear As Integer) As Boolean\n"
    "    IsLeapYear = (nYear Mod 4 = 0 And nYear Mod 100 <> 0) Or (nYear Mod 400 = 0)\n"
    "End Function\n",
    "' Two-digit years: anything below 30 is taken as 20xx.\n"
    "Public Function ExpandYear(ByVal nYear As Integer) As Integer\n"
    "    If nYear < 30 Then\n"
    "        ExpandYear = 2000 + nYear\n"
    "    ElseIf nYear < 100 Then\n"
    "        ExpandYear = 1900 + nYear\n"
    "    Else\n"
    "        ExpandYear = nYear\n"
    "    End If\n"
    "End Function\n",
    "Public Function WorkingDays(ByVal dtFrom As Date, ByVal dtTo As Date) As Long\n"
    "    Dim dtDay As Date\n"
    "    Dim nDays As Long\n"
    "    For dtDay = dtFrom To dtTo\n"
    "        Select Case Weekday(dtDay)\n"
    "            Case vbSaturday, vbSunday\n"
    "            Case Else\n"
    "                If Not IsHoliday(dtDay) Then nDays = nDays + 1\n"
    "        End Select\n"
    "    Next dtDay\n"
    "    WorkingDays = nDays\n"
    "End Function\n",
    "Public Function AgeInYears(ByVal dtBirth As Date, Optional ByVal dtAt As Variant) As Integer\n"
    "    If IsMissing(dtAt) Then dtAt = Date\n"
    "    AgeInYears = Year(dtAt) - Year(dtBirth)\n"
    "    If DateSerial(Year(dtAt), Month(dtBirth), Day(dtBirth)) > dtAt Then AgeInYears = AgeInYears - 1\n"
    "End Function\n",
    "Public Function TimeStamp() As String\n"
    "    TimeStamp = Format$(Now, \"yyyy-mm-dd hh:nn:ss\")\n"
    "End Function\n",
    "Public Function PeriodEnd(ByVal nYear As Integer, ByVal nMonth As Integer) As Date\n"
    "    PeriodEnd = DateSerial(nYear, nMonth + 1, 0)\n"
    "End Function\n",
};

// --- writing ---

/// Appends UTF-8 text as Windows-1252: the tables above are written in UTF-8 for legibility.
void AppendAnsi(std::string& Out, std::string_view S) {
    for (std::size_t I = 0; I < S.size(); ++I) {
        const auto C = static_cast<unsigned char>(S[I]);
        if (C < 0x80) {
            Out += static_cast<char>(C);
        } else if ((C == 0xC2 || C == 0xC3) && I + 1 < S.size()) {
            Out += static_cast<char>(((C & 0x1F) << 6) | (static_cast<unsigned char>(S[++I]) & 0x3F));
        } else if (C == 0xE2 && I + 2 < S.size() && S.substr(I, 3) == "\xE2\x82\xAC") {
            Out += '\x80'; // the euro sign
            I += 2;
        } else {
            Out += '?';
        }
    }
}

enum TPart { ptCode, ptHeader, ptBlock };

/// The text of one file, written line by line, with the counts of the project's statistics.
class TFileText {
public:
    TFileText(bool CrLf, std::string Indent) : mCrLf(CrLf), mIndent(std::move(Indent)) {}

    const std::string& IndentUnit() const { return mIndent; }

    /// A line as it stands.
    void Raw(std::string_view S) {
        const std::size_t Start = mText.size();
        AppendAnsi(mText, S);
        const std::size_t N = mText.size() - Start;
        for (std::size_t I = Start; I < mText.size(); ++I)
            mAnsi += static_cast<unsigned char>(mText[I]) >= 0x80;
        mText += mCrLf ? "\r\n" : "\n";
        ++mLines;
        mTextBytes += static_cast<long long>(N);
        mLong += N >= LongLine;
        mLayout += Part != ptCode;
        mBlock += Part == ptBlock;
    }
    /// A code line at the current indentation.
    void Code(std::string_view S) {
        if (S.empty()) {
            Raw(S);
            return;
        }
        std::string L;
        for (int I = 0; I < Level; ++I)
            L += mIndent;
        L += S;
        Raw(L);
    }
    /// Lines of a text block ('\n'-separated), each indented by the current level.
    void Block(std::string_view S) {
        while (!S.empty()) {
            const std::size_t E = std::min(S.find('\n'), S.size());
            Code(S.substr(0, E));
            S.remove_prefix(std::min(E + 1, S.size()));
        }
    }
    /// A layout property: the name padded to 16 characters, as Visual Basic writes it.
    void Prop(int Depth, std::string_view Name, std::string_view Value) {
        std::string L(static_cast<std::size_t>(3 * Depth), ' ');
        L += Name;
        if (Name.size() < 16)
            L.append(16 - Name.size(), ' ');
        L += "=   ";
        L += Value;
        Raw(L);
    }
    void Write(const std::string& FileName) const {
        std::FILE* F = std::fopen(FileName.c_str(), "wb");
        if (F == nullptr || std::fwrite(mText.data(), 1, mText.size(), F) != mText.size())
            std::abort();
        std::fclose(F);
    }
    void AddTo(TVbProject& P) const {
        P.Lines += mLines;
        P.Bytes += static_cast<long long>(mText.size());
        P.TextBytes += mTextBytes;
        P.LayoutLines += mLayout;
        P.LayoutBlockLines += mBlock;
        P.LongLines += mLong;
        P.AnsiBytes += mAnsi;
    }
    long Lines() const { return mLines; }

    int Level = 0;
    TPart Part = ptCode;

private:
    std::string mText;
    bool mCrLf;
    std::string mIndent;
    long mLines = 0;
    long long mTextBytes = 0, mLayout = 0, mBlock = 0, mLong = 0, mAnsi = 0;
};

std::string Quoted(std::string_view S) {
    return "\"" + std::string(S) + "\"";
}
const char* const True = "-1  'True";
const char* const False = "0   'False";

// --- one module ---

class TModuleGen {
public:
    TModuleGen(TRng& Rng, const std::vector<std::string>& Words, TFileText& Out, TLang Lang)
        : R(Rng), mWords(Words), Out(Out), mLang(Lang) {}

    std::vector<const TEntity*> Entities; ///< the entities the module deals with
    int DateRate = 60;                    ///< per mille of statements that handle a date

    // --- code ---

    std::string Expand(std::string_view T) {
        const TField* F = R.Pick(mEntity->Texts);
        const TField* D = R.Pick(mEntity->Dates);
        const TField* C = mEntity->Codes.empty() ? F : R.Pick(mEntity->Codes);
        const char* Dv = R.Pick(DateVars);
        const char* Dv2 = R.Pick(DateVars);
        const char* Sv = R.Pick(StringVars);
        const char* Nv = R.Pick(NumberVars);
        const char* Cv = R.Pick(AmountVars);
        std::string S;
        for (std::size_t I = 0; I < T.size(); ++I) {
            if (T[I] != '{') {
                S += T[I];
                continue;
            }
            const std::size_t E = T.find('}', I);
            const std::string_view Tok = T.substr(I + 1, E - I - 1);
            I = E;
            if (Tok == "F")
                S += F->Name;
            else if (Tok == "D")
                S += D->Name;
            else if (Tok == "C")
                S += C->Name;
            else if (Tok == "E")
                S += mEntity->Name;
            else if (Tok == "T")
                S += mEntity->Table;
            else if (Tok == "K")
                S += mEntity->Key;
            else if (Tok == "tx")
                S += Control("txt", F->Name);
            else if (Tok == "td")
                S += Control("txt", D->Name);
            else if (Tok == "dp")
                S += Control("dtp", D->Name);
            else if (Tok == "lb")
                S += Control("lbl", F->Name);
            else if (Tok == "cb")
                S += Control("cbo", C->Name);
            else if (Tok == "gr")
                S += Control("grd", mEntity->Table);
            else if (Tok == "sv")
                S += Sv;
            else if (Tok == "nv")
                S += Nv;
            else if (Tok == "cv")
                S += Cv;
            else if (Tok == "dv")
                S += Dv;
            else if (Tok == "dv2")
                S += Dv2;
            else if (Tok == "fmt")
                S += R.Pick(DateFormats);
            else if (Tok == "nf")
                S += R.Pick(NumberFormats);
            else if (Tok == "n")
                S += std::to_string(R.Range(1, 90));
            else if (Tok == "col")
                S += std::to_string(R.Range(0, 7));
            else if (Tok == "ms")
                S += Message();
            else if (Tok == "w")
                S += Word();
            else if (Tok == "R")
                S += mRoutine;
            else if (Tok == "me")
                S += mOnForm ? "Me" : "frm" + mEntity->Name;
        }
        return S;
    }

    /// A control of the form; modules and classes reach it through the form.
    std::string Control(const char* Prefix, const std::string& Field) const {
        return (mOnForm ? std::string() : "frm" + mEntity->Name + ".") + Prefix + Field;
    }
    std::string Message() { return R.Pick(Messages)[R.Percent(80) ? mLang : lnEnglish]; }
    std::string Word() { return mWords.empty() ? std::string("date") : R.Pick(mWords); }
    std::string CommentText() {
        std::string S = R.Pick(Comments)[R.Percent(80) ? mLang : lnEnglish];
        if (const std::size_t P = S.find('%'); P != std::string::npos)
            S.replace(P, 1, Word());
        return S;
    }
    void Comment() { Out.Code((R.Percent(8) ? "Rem " : "' ") + CommentText()); }
    std::string Condition() {
        if (R.PerMille(DateRate * 3))
            return Expand(R.Pick(DateConditions));
        if (R.Percent(6)) {
            // The long conditions of input checks.
            std::string S = Expand(R.Pick(Conditions));
            for (int I = R.Range(2, 5); I > 0; --I)
                S += (R.Percent(70) ? " Or " : " And ") +
                     (R.Percent(30) ? Expand(R.Pick(DateConditions)) : Expand(R.Pick(Conditions)));
            return S;
        }
        return Expand(R.Pick(Conditions));
    }

    void Statements(int Count, int Depth) {
        for (int I = 0; I < Count; ++I)
            Statement(Depth);
    }

    void Statement(int Depth) {
        if (R.PerMille(DateRate)) {
            Out.Code(Expand(R.Pick(DateLines)));
            return;
        }
        int K = R.Range(0, 99);
        if (K >= 17 && K < 30 && Depth >= 3)
            K = 99; // nested deep enough: a plain line instead of another block
        if (K < 9) {
            Out.Code("");
        } else if (K < 17) {
            Comment();
        } else if (K < 24) {
            IfBlock(Depth);
        } else if (K < 27) {
            Loop(Depth);
        } else if (K < 29) {
            WithBlock(Depth);
        } else if (K < 30) {
            if (Depth < 2)
                SelectBlock(Depth);
            else
                IfBlock(Depth);
        } else if (K < 32) {
            Sql();
        } else if (K < 34) {
            Out.Code(Expand(R"~(MsgBox "{ms}", vbExclamation, App.Title)~"));
        } else if (K < 37) {
            Out.Code(Expand(R.Pick(LookAlikeLines)));
        } else {
            Out.Code(Expand(R.Pick(PlainLines)));
        }
    }

    void Nested(int Depth) {
        ++Out.Level;
        Statements(R.Range(1, 4), Depth + 1);
        --Out.Level;
    }

    void IfBlock(int Depth) {
        Out.Code("If " + Condition() + " Then");
        Nested(Depth);
        for (int I = R.Percent(20) ? R.Range(1, 3) : 0; I > 0; --I) {
            Out.Code("ElseIf " + Condition() + " Then");
            Nested(Depth);
        }
        if (R.Percent(35)) {
            Out.Code("Else");
            Nested(Depth);
        }
        Out.Code("End If");
    }

    void Loop(int Depth) {
        switch (R.Below(4)) {
        case 0:
            Out.Code("Do While Not rs.EOF");
            Nested(Depth);
            ++Out.Level;
            Out.Code("rs.MoveNext");
            --Out.Level;
            Out.Code("Loop");
            break;
        case 1:
            Out.Code(Expand("For i = 1 To {gr}.Rows - 1"));
            Nested(Depth);
            Out.Code("Next i");
            break;
        case 2:
            Out.Code(Expand("For Each ctl In {me}.Controls"));
            ++Out.Level;
            Out.Code(R"~(If TypeOf ctl Is TextBox Then ctl.Text = "")~");
            --Out.Level;
            Out.Code("Next ctl");
            break;
        default:
            Out.Code(Expand("For {nv} = 0 To {cb}.ListCount - 1"));
            Nested(Depth);
            Out.Code("Next");
        }
    }

    void WithBlock(int Depth) {
        if (R.Percent(50)) {
            Out.Code(Expand("With {gr}"));
            ++Out.Level;
            Out.Code(".Rows = 1");
            Out.Code(".Cols = " + std::to_string(R.Range(3, 9)));
            for (int I = R.Range(1, 5); I > 0; --I) {
                const TField* F = R.Percent(30) ? R.Pick(mEntity->Dates) : R.Pick(mEntity->Texts);
                const std::string Col = std::to_string(R.Range(0, 7));
                Out.Code(".TextMatrix(0, " + Col + ") = " + Quoted(Caption(F->Name, mLang)));
                if (R.Percent(50))
                    Out.Code(".ColWidth(" + Col + ") = " + std::to_string(R.Range(8, 30) * 60));
            }
            --Out.Level;
        } else {
            Out.Code("With rs");
            ++Out.Level;
            if (R.Percent(40))
                Out.Code(".AddNew");
            for (int I = R.Range(2, 7); I > 0; --I) {
                const TField* F = R.Percent(25) ? R.Pick(mEntity->Dates) : R.Pick(mEntity->Texts);
                if (F->Type == 'd')
                    Out.Code("!" + F->Name + " = " +
                             (R.Percent(50) ? "CDate(" + Control("txt", F->Name) + ".Text)" : "Now"));
                else
                    Out.Code("!" + F->Name + " = " + Control("txt", F->Name) + ".Text");
            }
            Out.Code(".Update");
            --Out.Level;
            (void)Depth;
        }
        Out.Code("End With");
    }

    void SelectBlock(int Depth) {
        static const char* const Heads[] = {"Select Case {nv}", "Select Case {cb}.ListIndex",
                                            "Select Case rs!{C}", "Select Case Index"};
        Out.Code(Expand(R.Pick(Heads)));
        ++Out.Level;
        for (int I = 0, N = R.Range(2, 5); I < N; ++I) {
            Out.Code(I == N - 1 && R.Percent(60) ? std::string("Case Else") : "Case " + std::to_string(I));
            Nested(Depth);
        }
        --Out.Level;
        Out.Code("End Select");
    }

    /// SQL built with &, often on long lines.
    void Sql() {
        const TEntity& E = *mEntity;
        std::string Fields;
        for (int I = R.Range(2, 8); I > 0; --I) {
            const TField& F = R.Pick(E.Fields);
            Fields += (Fields.empty() ? "" : ", ") + F.Name;
        }
        const std::string Select = "SELECT " + E.Key + ", " + Fields + " FROM " + E.Table;
        if (R.Percent(40)) {
            Out.Code("strSQL = \"" + Select + " WHERE " + E.Key + " = \" & mlng" + E.Key);
            return;
        }
        if (R.Percent(40)) {
            Out.Code("strSQL = \"" + Select + " \" & _");
            Out.Code("         \"WHERE " + R.Pick(E.Texts)->Name + " LIKE '\" & Replace(" +
                     Control("txt", R.Pick(E.Texts)->Name) + ".Text, \"'\", \"''\") & \"*'\"");
            return;
        }
        const TField& D = *R.Pick(E.Dates);
        Out.Code("strSQL = \"" + Select + "\"");
        Out.Code("strSQL = strSQL & \" WHERE " + D.Name +
                 " BETWEEN #\" & Format$(dtFrom, \"mm/dd/yyyy\") & \"# AND #\" & Format$(dtTo, "
                 "\"mm/dd/yyyy\") & \"#\"");
        Out.Code("strSQL = strSQL & \" ORDER BY " + D.Name + (R.Percent(50) ? " DESC\"" : "\""));
    }

    /// A routine: header, declarations, body, error handler.
    /// Name, or Name with a number when the module has a routine of that name already.
    std::string Unique(const std::string& Name) {
        const int N = mRoutines[Name]++;
        return N == 0 ? Name : Name + std::to_string(N + 1);
    }

    void Routine(std::string Header, const std::string& Wanted, const char* Kind) {
        const std::string Name = Unique(Wanted);
        if (Name != Wanted)
            Header.replace(Header.find(Wanted), Wanted.size(), Name);
        mRoutine = Name;
        if (R.Percent(8)) {
            // A header comment as code tools of the time wrote them.
            Out.Code(
                "'---------------------------------------------------------------------------------------");
            Out.Code("' Procedure : " + Name);
            Out.Code("' DateTime  : " + std::to_string(R.Range(10, 28)) + "." +
                     std::to_string(R.Range(10, 12)) + ".199" + std::to_string(R.Range(6, 9)) + " " +
                     std::to_string(R.Range(10, 18)) + ":" + std::to_string(R.Range(10, 59)));
            static const char* const Authors[] = {"hmeier", "jdupont", "tsmith", "kw"};
            Out.Code(std::string("' Author    : ") + R.Pick(Authors));
            Out.Code("' Purpose   : " + CommentText());
            Out.Code(
                "'---------------------------------------------------------------------------------------");
        }
        Out.Code(Header);
        Out.Level = 1;
        const bool Handler = R.Percent(45);
        if (Handler)
            Out.Code("On Error GoTo ErrHandler");
        for (int I = R.Range(0, 4); I > 0; --I)
            Out.Code(Expand(R.Pick(DimLines)));
        if (R.Percent(60))
            Out.Code("");
        const int Size = R.Range(2, 10) + (R.Percent(30) ? R.Range(5, 40) : 0);
        Statements(Size, 0);
        if (Handler) {
            Out.Code(std::string("Exit ") + Kind);
            Out.Level = 0;
            Out.Code("ErrHandler:");
            Out.Level = 1;
            if (R.Percent(50))
                Out.Code("MsgBox \"" +
                         std::string(mLang == lnGerman   ? "Fehler "
                                     : mLang == lnFrench ? "Erreur "
                                                         : "Error ") +
                         "\" & Err.Number & \": \" & Err.Description, vbCritical, \"" + Name + "\"");
            else
                Out.Code("Call LogError(\"" + Name + "\", Err.Number, Err.Description)");
            if (R.Percent(40))
                Out.Code("Resume Next");
        }
        Out.Level = 0;
        Out.Code(std::string("End ") + Kind);
        Out.Code("");
    }

    /// Routines until the module holds Budget lines.
    void Routines(long Budget, char ModuleKind) {
        while (Out.Lines() < Budget) {
            mEntity = R.Pick(Entities);
            const TEntity& E = *mEntity;
            const TField& F = *R.Pick(E.Texts);
            const TField& D = *R.Pick(E.Dates);
            const int K = R.Range(0, 99);
            if (ModuleKind == 'F' || (ModuleKind == 'U' && K >= 45)) {
                static const char* const Events[] = {
                    "cmdSave_Click",  "cmdCancel_Click", "cmdDelete_Click",  "cmdNew_Click", "cmdFind_Click",
                    "cmdPrint_Click", "cmdClose_Click",  "cmdOK_Click",      "Form_Load",    "Form_Activate",
                    "Form_Resize",    "tmrClock_Timer",  "mnuFileExit_Click"};
                if (K < 35) {
                    const std::string Event = R.Pick(Events);
                    Routine("Private Sub " + Event + "()", Event, "Sub");
                } else if (K < 45)
                    Routine("Private Sub txt" + D.Name + "_Validate(Cancel As Boolean)",
                            "txt" + D.Name + "_Validate", "Sub");
                else if (K < 55) {
                    const std::string Event = "txt" + F.Name + (R.Percent(50) ? "_Change" : "_GotFocus");
                    Routine("Private Sub " + Event + "()", Event, "Sub");
                } else if (K < 60)
                    KeyPress(F.Name);
                else if (K < 65)
                    Routine("Private Sub Form_QueryUnload(Cancel As Integer, UnloadMode As Integer)",
                            "Form_QueryUnload", "Sub");
                else if (K < 70)
                    Routine("Private Sub grd" + E.Table + "_DblClick()", "grd" + E.Table + "_DblClick",
                            "Sub");
                else
                    Helper(E, F, D);
            } else if ((ModuleKind == 'C' || ModuleKind == 'U') && K < 45 &&
                       mProperties < Entities[0]->Fields.size()) {
                Property(Entities[0]->Fields[mProperties++]);
            } else {
                Helper(E, F, D);
            }
        }
    }

    void Helper(const TEntity& E, const TField& F, const TField& D) {
        const std::string Scope = mOnForm ? "Private " : R.Percent(70) ? "Public " : "Private ";
        const int K = R.Range(0, 9);
        std::string Name;
        switch (K) {
        case 0:
            Name = "Load" + E.Name;
            Routine(Scope + "Sub " + Name + "(ByVal lng" + E.Key + " As Long)", Name, "Sub");
            break;
        case 1:
            Name = "Save" + E.Name;
            Routine(Scope + "Function " + Name + "() As Boolean", Name, "Function");
            break;
        case 2:
            Name = "Validate" + E.Name;
            Routine(Scope + "Function " + Name + "() As Boolean", Name, "Function");
            break;
        case 3:
            Name = "Fill" + E.Table;
            Routine(Scope + "Sub " + Name + "(Optional ByVal dtFrom As Date, Optional ByVal dtTo As Date)",
                    Name, "Sub");
            break;
        case 4:
            Name = "Create" + E.Name;
            Routine(Scope + "Function " + Name + "(ByVal lngCustomerID As Long, ByVal dt" + D.Name +
                        " As Date, ByVal curAmount As Currency, Optional ByVal strReference As String = "
                        "\"\", Optional ByVal blnPrint As Boolean = False) As Long",
                    Name, "Function");
            break;
        case 5:
            Name = "Get" + F.Name;
            Routine(Scope + "Function " + Name + "(ByVal lng" + E.Key + " As Long) As " + TypeName(F.Type),
                    Name, "Function");
            break;
        case 6:
            Name = "Calc" + D.Name;
            Routine(Scope + "Function " + Name + "(ByVal dtBase As Date, ByVal nDays As Integer) As Date",
                    Name, "Function");
            break;
        case 7:
            Name = "Print" + E.Name + "List";
            Routine(Scope + "Sub " + Name + "()", Name, "Sub");
            break;
        case 8:
            Name = "Update" + F.Name;
            Routine(Scope + "Sub " + Name + "(ByVal str" + F.Name + " As String)", Name, "Sub");
            break;
        default:
            Name = "Refresh" + E.Table;
            Routine(Scope + "Sub " + Name + "()", Name, "Sub");
        }
    }

    void KeyPress(const std::string& Field) {
        const std::string Name = Unique("txt" + Field + "_KeyPress");
        Out.Code("Private Sub " + Name + "(KeyAscii As Integer)");
        Out.Level = 1;
        Out.Code("Select Case KeyAscii");
        Out.Level = 2;
        Out.Code("Case vbKey0 To vbKey9, vbKeyBack, Asc(\"/\"), Asc(\".\")");
        Out.Code("Case vbKeyReturn");
        Out.Level = 3;
        Out.Code("SendKeys \"{TAB}\"");
        Out.Code("KeyAscii = 0");
        Out.Level = 2;
        Out.Code("Case Else");
        Out.Level = 3;
        Out.Code("KeyAscii = 0");
        Out.Level = 1;
        Out.Code("End Select");
        Out.Level = 0;
        Out.Code("End Sub");
        Out.Code("");
    }

    /// A Property Get and Let pair of a class or user control.
    void Property(const TField& F) {
        const std::string Member = std::string("m") + TypePrefix(F.Type) + F.Name;
        const std::string Type = TypeName(F.Type);
        Out.Code("Public Property Get " + F.Name + "() As " + Type);
        Out.Code(Out.IndentUnit() + F.Name + " = " + Member);
        Out.Code("End Property");
        Out.Code("");
        Out.Code("Public Property Let " + F.Name + "(ByVal " + TypePrefix(F.Type) + "Value As " + Type + ")");
        if (F.Type == 'd' && R.Percent(40)) {
            Out.Code(Out.IndentUnit() + "If " + TypePrefix(F.Type) +
                     "Value < DateSerial(1900, 1, 1) Then Err.Raise vbObjectError + 513, \"" + mFormName +
                     "\", \"Invalid Date\"");
        }
        Out.Code(Out.IndentUnit() + Member + " = " + TypePrefix(F.Type) + "Value");
        if (R.Percent(60))
            Out.Code(Out.IndentUnit() +
                     (mOnControl ? "PropertyChanged \"" + F.Name + "\"" : std::string("mblnDirty = True")));
        Out.Code("End Property");
        Out.Code("");
    }

    /// Module-level declarations.
    void Declarations(char Kind, bool Globals) {
        Out.Code("Option Explicit");
        Out.Code("");
        if (Globals) {
            Out.Code("Public gcnData As ADODB.Connection");
            Out.Code("Public gdbData As Database");
            Out.Code("Public gstrUser As String");
            Out.Code("Public gdtmToday As Date");
            Out.Code("Public gdblVatRate As Double");
            Out.Code("Public Const APP_TIMEOUT As Long = 30");
            Out.Code("Public Const DATE_FORMAT As String = \"" + std::string(R.Pick(DateFormats)) + "\"");
            Out.Code("");
            if (R.Percent(60)) {
                Out.Code("Public Type SYSTEMTIME");
                for (const char* M : {"wYear", "wMonth", "wDayOfWeek", "wDay", "wHour", "wMinute", "wSecond",
                                      "wMilliseconds"})
                    Out.Code(Out.IndentUnit() + M + " As Integer");
                Out.Code("End Type");
                Out.Code("");
            }
            for (int I = R.Range(3, 9); I > 0; --I)
                Out.Code(R.Pick(Declares));
            Out.Code("");
        }
        if (Kind == 'C' || Kind == 'U')
            for (const TField& F : Entities[0]->Fields)
                Out.Code(std::string("Private m") + TypePrefix(F.Type) + F.Name + " As " + TypeName(F.Type));
        for (const TEntity* E : Entities) {
            if (R.Percent(60)) {
                Out.Code((Kind == 'M' && R.Percent(40) ? "Public m" : "Private m") + std::string("lng") +
                         E->Key + " As Long");
                if (R.Percent(50))
                    Out.Code("Private m" + E->Name + " As cls" + E->Name);
            }
        }
        for (int I = R.Range(0, 4); I > 0; --I) {
            mEntity = R.Pick(Entities);
            Out.Code("Private " + Expand(R.Pick(DimLines)).substr(4));
        }
        if (R.Percent(40))
            Out.Code("Private mdtmDue As Date");
        if (R.Percent(50))
            Out.Code("Private mblnDirty As Boolean");
        Out.Code("");
    }

    void DateHelpers(int Count) {
        for (int I = 0; I < Count; ++I) {
            Out.Block(R.Pick(DateHelperRoutines));
            Out.Code("");
        }
    }

    // --- layout ---

    /// The place of Name in its control array: a name used again on a form makes one.
    int Claim(const std::string& Name) { return mNames[Name]++; }
    /// Name as the form refers to it: "txtAmount" or "txtAmount(2)".
    static std::string Listed(const std::string& Name, int Index) {
        return Index > 0 ? Name + "(" + std::to_string(Index) + ")" : Name;
    }
    void NewControl(int Depth, const std::string& Type, const std::string& Name, int Index) {
        Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') + "Begin " + Type + " " + Name + " ");
        if (Index > 0)
            Out.Prop(Depth + 1, "Index", std::to_string(Index));
    }
    void NewControl(int Depth, const std::string& Type, const std::string& Name) {
        NewControl(Depth, Type, Name, Claim(Name));
    }
    void EndControl(int Depth) { Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') + "End"); }
    void Place(int Depth, int Height, int Left, int Top, int Width) {
        Out.Prop(Depth, "Height", std::to_string(Height));
        Out.Prop(Depth, "Left", std::to_string(Left));
        Out.Prop(Depth, "TabIndex", std::to_string(mTabIndex++));
        Out.Prop(Depth, "Top", std::to_string(Top));
        Out.Prop(Depth, "Width", std::to_string(Width));
    }
    void Font(int Depth, bool Bold) {
        Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') + "BeginProperty Font ");
        Out.Prop(Depth + 1, "Name", R.Percent(80) ? "\"MS Sans Serif\"" : "\"Arial\"");
        Out.Prop(Depth + 1, "Size", R.Percent(80) ? "8.25" : "9.75");
        Out.Prop(Depth + 1, "Charset", "0");
        Out.Prop(Depth + 1, "Weight", Bold ? "700" : "400");
        Out.Prop(Depth + 1, "Underline", False);
        Out.Prop(Depth + 1, "Italic", False);
        Out.Prop(Depth + 1, "Strikethrough", False);
        Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') + "EndProperty");
    }
    void DataFormat(int Depth, bool IsDate) {
        Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') +
                "BeginProperty DataFormat {6D835690-900B-11D0-9484-00A0C91110ED} ");
        Out.Prop(Depth + 1, "Type", "1");
        Out.Prop(Depth + 1, "Format",
                 IsDate ? (R.Percent(50) ? "\"dd.MM.yyyy\"" : "\"dd/MM/yy\"") : "\"#.##0,00\"");
        Out.Prop(Depth + 1, "HaveTrueFalseNull", "0");
        Out.Prop(Depth + 1, "FirstDayOfWeek", "0");
        Out.Prop(Depth + 1, "FirstWeekOfYear", "0");
        Out.Prop(Depth + 1, "LCID", "1031");
        Out.Prop(Depth + 1, "SubFormatType", IsDate ? "3" : "1");
        Out.Raw(std::string(static_cast<std::size_t>(3 * Depth), ' ') + "EndProperty");
    }

    /// A field's label and control, named before they are written (tab lists name them first).
    struct TPair {
        const TField* Field;
        const char* Prefix; ///< of the control: txt, dtp, cbo or chk
        int LabelIndex, ControlIndex;
        std::string Label() const { return Listed("lbl" + Field->Name, LabelIndex); }
        std::string Control() const { return Listed(Prefix + Field->Name, ControlIndex); }
    };
    TPair Plan(const TField& F) {
        const char* Prefix = F.Type == 'i' ? "cbo" : F.Type == 'b' ? "chk" : "txt";
        if (F.Type == 'd' && mUseDtp && R.Percent(40))
            Prefix = "dtp";
        const int LabelIndex = Claim("lbl" + F.Name);
        return {&F, Prefix, LabelIndex, Claim(Prefix + F.Name)};
    }

    /// A label and the control of one field, at row Top.
    void FieldPair(int Depth, const TField& F, int Left, int Top) { FieldPair(Depth, Plan(F), Left, Top); }
    void FieldPair(int Depth, const TPair& P, int Left, int Top) {
        const TField& F = *P.Field;
        NewControl(Depth, "VB.Label", "lbl" + F.Name, P.LabelIndex);
        if (R.Percent(30))
            Out.Prop(Depth + 1, "Alignment", "1  'Right Justify");
        if (R.Percent(40))
            Out.Prop(Depth + 1, "AutoSize", True);
        if (R.Percent(20))
            Out.Prop(Depth + 1, "BackStyle", "0  'Transparent");
        Out.Prop(Depth + 1, "Caption", Quoted(Caption(F.Name, mLang) + ":"));
        if (R.Percent(8))
            Font(Depth + 1, true);
        Place(Depth + 1, 195, Left, Top + 45, R.Range(15, 30) * 60);
        EndControl(Depth);
        const int CLeft = Left + 1560;
        const std::string Name = P.Prefix + F.Name;
        if (P.Prefix[0] == 'd') {
            NewControl(Depth, "MSComCtl2.DTPicker", Name, P.ControlIndex);
            Place(Depth + 1, 315, CLeft, Top, 1575);
            Out.Prop(Depth + 1, "_ExtentX", "2778");
            Out.Prop(Depth + 1, "_ExtentY", "556");
            Out.Prop(Depth + 1, "_Version", "393216");
            if (R.Percent(50))
                Out.Prop(Depth + 1, "CustomFormat", "\"dd.MM.yyyy\"");
            Out.Prop(Depth + 1, "Format", std::to_string(R.Range(24510000, 24650000)));
            Out.Prop(Depth + 1, "CurrentDate", std::to_string(R.Range(35000, 36600)));
        } else if (P.Prefix[0] == 'c' && P.Prefix[1] == 'b') {
            NewControl(Depth, "VB.ComboBox", Name, P.ControlIndex);
            if (R.Percent(30))
                Out.Prop(Depth + 1, "DataField", Quoted(F.Name));
            Place(Depth + 1, 315, CLeft, Top, R.Range(20, 50) * 60);
            Out.Prop(Depth + 1, "Style", "2  'Dropdown List");
        } else if (P.Prefix[0] == 'c') {
            NewControl(Depth, "VB.CheckBox", Name, P.ControlIndex);
            Out.Prop(Depth + 1, "Caption", Quoted(Caption(F.Name, mLang)));
            Place(Depth + 1, 255, CLeft, Top, 1815);
        } else {
            NewControl(Depth, "VB.TextBox", Name, P.ControlIndex);
            if (F.Type == 'c' || F.Type == 'n' || F.Type == 'l')
                Out.Prop(Depth + 1, "Alignment", "1  'Right Justify");
            const bool Bound = R.Percent(25);
            if (Bound) {
                Out.Prop(Depth + 1, "DataField", Quoted(F.Name));
                Out.Prop(Depth + 1, "DataSource", "\"datPrimary\"");
            }
            if (Bound && (F.Type == 'd' || F.Type == 'c') && R.Percent(50))
                DataFormat(Depth + 1, F.Type == 'd');
            Out.Prop(Depth + 1, "Height", "285");
            Out.Prop(Depth + 1, "Left", std::to_string(CLeft));
            if (R.Percent(40))
                Out.Prop(Depth + 1, "MaxLength", std::to_string(F.Type == 'd' ? 10 : R.Range(5, 60)));
            if (R.Percent(5))
                Out.Prop(Depth + 1, "Locked", True);
            Out.Prop(Depth + 1, "TabIndex", std::to_string(mTabIndex++));
            if (F.Type != 'd' && R.Percent(10))
                Out.Prop(Depth + 1, "Text", F.Type == 's' ? "\"Text1\"" : "\"0\"");
            Out.Prop(Depth + 1, "Top", std::to_string(Top));
            Out.Prop(Depth + 1, "Width", std::to_string(R.Range(15, 60) * 60));
        }
        EndControl(Depth);
    }

    /// The fields of the next group; the entities' fields repeat as control arrays.
    std::vector<const TField*> Group(int Count) {
        std::vector<const TField*> G;
        const TEntity& E = *R.Pick(Entities);
        std::size_t Start = R.Below(E.Fields.size());
        for (int I = 0; I < Count; ++I)
            G.push_back(&E.Fields[(Start + static_cast<std::size_t>(I)) % E.Fields.size()]);
        return G;
    }

    void Frame(int Depth) {
        const auto G = Group(R.Range(3, 10));
        static const char* const Frames[][4] = {
            {"Details", "Details", "Einzelheiten", "Détails"}, {"Address", "Address", "Anschrift", "Adresse"},
            {"Period", "Period", "Zeitraum", "Période"},       {"Options", "Options", "Optionen", "Options"},
            {"Totals", "Totals", "Summen", "Totaux"},          {"Dates", "Dates", "Termine", "Dates"}};
        const auto& Kind = R.Pick(Frames);
        NewControl(Depth, "VB.Frame", std::string("fra") + Kind[0]);
        Out.Prop(Depth + 1, "Caption", Quoted(Kind[1 + mLang]));
        Place(Depth + 1, static_cast<int>(G.size()) * 400 + 360, 120, mTop, 9015);
        for (std::size_t I = 0; I < G.size(); ++I)
            FieldPair(Depth + 1, *G[I], 120, 300 + 400 * static_cast<int>(I));
        EndControl(Depth);
        mTop += static_cast<int>(G.size()) * 400 + 480;
    }

    void Tabs(int Depth) {
        const int TabCount = R.Range(2, 5);
        std::vector<std::vector<TPair>> Pages(static_cast<std::size_t>(TabCount));
        for (auto& Page : Pages)
            for (const TField* F : Group(R.Range(4, 12)))
                Page.push_back(Plan(*F));
        NewControl(Depth, "TabDlg.SSTab", "tabMain");
        Place(Depth + 1, 4935, 120, mTop, 9015);
        Out.Prop(Depth + 1, "_ExtentX", "15901");
        Out.Prop(Depth + 1, "_ExtentY", "8705");
        Out.Prop(Depth + 1, "_Version", "393216");
        Out.Prop(Depth + 1, "Tabs", std::to_string(TabCount));
        Out.Prop(Depth + 1, "TabsPerRow", std::to_string(TabCount));
        Out.Prop(Depth + 1, "TabHeight", "520");
        // The tab lists name the controls before they follow.
        for (int T = 0; T < TabCount; ++T) {
            const auto& Page = Pages[static_cast<std::size_t>(T)];
            const std::string Tab = "Tab(" + std::to_string(T) + ")";
            Out.Prop(Depth + 1, "TabCaption(" + std::to_string(T) + ")",
                     Quoted(Caption(Page[0].Field->Name, mLang)));
            Out.Prop(Depth + 1, "TabPicture(" + std::to_string(T) + ")",
                     "\"" + mFormName + ".frx\":" + std::to_string(1000 + T * 28));
            if (T == 0)
                Out.Prop(Depth + 1, Tab + ".ControlEnabled", True);
            int C = 0;
            for (const TPair& P : Page) {
                for (const std::string& Name : {P.Label(), P.Control()}) {
                    Out.Prop(Depth + 1, Tab + ".Control(" + std::to_string(C) + ")", Quoted(Name));
                    if (T == 0 && R.Percent(50))
                        Out.Prop(Depth + 1, Tab + ".Control(" + std::to_string(C) + ").Enabled", False);
                    ++C;
                }
            }
            Out.Prop(Depth + 1, Tab + ".ControlCount", std::to_string(C));
        }
        for (const auto& Page : Pages)
            for (std::size_t I = 0; I < Page.size(); ++I)
                FieldPair(Depth + 1, Page[I], 240, 480 + 400 * static_cast<int>(I));
        EndControl(Depth);
        mTop += 5055;
    }

    void Grid(int Depth) {
        const TEntity& E = *R.Pick(Entities);
        NewControl(Depth, "MSFlexGridLib.MSFlexGrid", "grd" + E.Table);
        Place(Depth + 1, R.Range(20, 60) * 60, 120, mTop, 9015);
        Out.Prop(Depth + 1, "_ExtentX", "15901");
        Out.Prop(Depth + 1, "_ExtentY", "5106");
        Out.Prop(Depth + 1, "_Version", "393216");
        Out.Prop(Depth + 1, "Rows", "1");
        Out.Prop(Depth + 1, "Cols", std::to_string(E.Fields.size() / 2));
        Out.Prop(Depth + 1, "FixedCols", "0");
        Out.Prop(Depth + 1, "AllowUserResizing", "1");
        Out.Prop(Depth + 1, "SelectionMode", "1");
        if (R.Percent(60)) {
            std::string S;
            for (std::size_t I = 0; I < E.Fields.size() / 2; ++I)
                S += (I ? "|" : "") + std::string(E.Fields[I].Type == 'c' ? ">" : "<") +
                     Caption(E.Fields[I].Name, mLang);
            Out.Prop(Depth + 1, "FormatString", Quoted(S));
        }
        EndControl(Depth);
        mTop += 3000;
    }

    void Buttons(int Depth) {
        static const char* const Names[] = {"Save",  "Cancel", "Delete", "New",    "Find",
                                            "Print", "Close",  "OK",     "Refresh"};
        static const char* const German[] = {"&Speichern", "Abbrechen", "&Löschen",
                                             "&Neu",       "&Suchen",   "&Drucken",
                                             "&Schließen", "OK",        "&Aktualisieren"};
        for (int I = R.Range(2, 5), Left = 120; I > 0; --I, Left += 1335) {
            const std::size_t K = R.Below(std::size(Names));
            NewControl(Depth, "VB.CommandButton", std::string("cmd") + Names[K]);
            Out.Prop(Depth + 1, "Caption",
                     Quoted(mLang == lnGerman ? German[K] : "&" + std::string(Names[K])));
            if (K == 0 && R.Percent(50))
                Out.Prop(Depth + 1, "Default", True);
            if (K == 1 && R.Percent(50))
                Out.Prop(Depth + 1, "Cancel", True);
            Place(Depth + 1, 375, Left, mTop, 1215);
            EndControl(Depth);
        }
        mTop += 495;
    }

    void StatusBar(int Depth) {
        NewControl(Depth, "MSComctlLib.StatusBar", "sbrStatus");
        Out.Prop(Depth + 1, "Align", "2  'Align Bottom");
        Place(Depth + 1, 315, 0, mTop, 9315);
        Out.Prop(Depth + 1, "_ExtentX", "16431");
        Out.Prop(Depth + 1, "_ExtentY", "556");
        Out.Prop(Depth + 1, "_Version", "393216");
        const std::string I3(static_cast<std::size_t>(3 * (Depth + 1)), ' ');
        Out.Raw(I3 + "BeginProperty Panels {8E3867A5-8586-11D1-B16A-00C0F0283628} ");
        Out.Prop(Depth + 2, "NumPanels", "3");
        Out.Raw(I3 + "   BeginProperty Panel1 {8E3867AB-8586-11D1-B16A-00C0F0283628} ");
        Out.Prop(Depth + 3, "AutoSize", "1");
        Out.Prop(Depth + 3, "Object.Width", "10266");
        Out.Raw(I3 + "   EndProperty");
        Out.Raw(I3 + "   BeginProperty Panel2 {8E3867AB-8586-11D1-B16A-00C0F0283628} ");
        Out.Prop(Depth + 3, "Style", "6");
        Out.Prop(Depth + 3, "TextSave",
                 "\"" + std::to_string(R.Range(10, 28)) + ".0" + std::to_string(R.Range(1, 9)) + ".1999\"");
        Out.Raw(I3 + "   EndProperty");
        Out.Raw(I3 + "   BeginProperty Panel3 {8E3867AB-8586-11D1-B16A-00C0F0283628} ");
        Out.Prop(Depth + 3, "Style", "5");
        Out.Prop(Depth + 3, "TextSave",
                 "\"" + std::to_string(R.Range(10, 23)) + ":" + std::to_string(R.Range(10, 59)) + "\"");
        Out.Raw(I3 + "   EndProperty");
        Out.Raw(I3 + "EndProperty");
        EndControl(Depth);
    }

    void Timer(int Depth) {
        NewControl(Depth, "VB.Timer", R.Percent(50) ? "tmrClock" : "tmrRefresh");
        Out.Prop(Depth + 1, "Interval", R.Percent(50) ? "1000" : "60000");
        Out.Prop(Depth + 1, "Left", std::to_string(R.Range(1, 140) * 60));
        Out.Prop(Depth + 1, "Top", std::to_string(R.Range(1, 90) * 60));
        EndControl(Depth);
    }

    void Menus(int Depth) {
        static const char* const Tops[][2] = {
            {"File", "&Datei"}, {"Edit", "&Bearbeiten"}, {"View", "&Ansicht"}, {"Help", "&?"}};
        static const char* const Items[] = {"New",  "Open",    "Save",    "Print",  "Export", "Exit",
                                            "Find", "Refresh", "Options", "Period", "About"};
        for (int T = R.Range(2, 4), I = 0; I < T; ++I) {
            const std::string Top = Tops[I][0];
            NewControl(Depth, "VB.Menu", "mnu" + Top);
            Out.Prop(Depth + 1, "Caption", Quoted(mLang == lnGerman ? Tops[I][1] : "&" + Top));
            for (int K = R.Range(2, 7); K > 0; --K) {
                const std::string Item = R.Pick(Items);
                NewControl(Depth + 1, "VB.Menu", "mnu" + Top + Item);
                Out.Prop(Depth + 2, "Caption", Quoted("&" + Item + (R.Percent(20) ? "..." : "")));
                if (R.Percent(20))
                    Out.Prop(Depth + 2, "Shortcut", "^" + Item.substr(0, 1));
                EndControl(Depth + 1);
            }
            EndControl(Depth);
        }
    }

    /// A form's header: VERSION, the controls' Object lines, the layout block with about Budget
    /// lines, the Attribute lines.
    void FormHeader(const std::string& Name, long Budget) {
        mFormName = Name;
        mOnForm = true;
        mUseDtp = R.Percent(45);
        const bool UseGrid = R.Percent(55), UseTab = Budget > 600 && R.Percent(50), UseBar = R.Percent(35);
        Out.Part = ptHeader;
        Out.Raw("VERSION 5.00");
        if (UseBar || R.Percent(30))
            Out.Raw("Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"");
        if (mUseDtp)
            Out.Raw("Object = \"{86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCT2.OCX\"");
        if (UseGrid)
            Out.Raw("Object = \"{5E9E78A0-531B-11CF-91F6-C2863C385E30}#1.0#0\"; \"MSFLXGRD.OCX\"");
        if (UseTab)
            Out.Raw("Object = \"{BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0\"; \"TABCTL32.OCX\"");
        Out.Part = ptBlock;
        const long Start = Out.Lines();
        Out.Raw("Begin VB.Form " + Name + " ");
        if (R.Percent(60))
            Out.Prop(1, "BorderStyle", R.Percent(50) ? "3  'Fixed Dialog" : "1  'Fixed Single");
        Out.Prop(1, "Caption", Quoted(Caption(Entities[0]->Table, mLang)));
        const std::string Height = std::to_string(R.Range(40, 130) * 60),
                          Width = std::to_string(R.Range(100, 160) * 60);
        Out.Prop(1, "ClientHeight", Height);
        Out.Prop(1, "ClientLeft", "45");
        Out.Prop(1, "ClientTop", "330");
        Out.Prop(1, "ClientWidth", Width);
        if (R.Percent(50))
            Font(1, false);
        Out.Prop(1, "Icon", "\"" + Name + ".frx\":0000");
        if (R.Percent(50))
            Out.Prop(1, "KeyPreview", True);
        Out.Prop(1, "LinkTopic", "\"Form1\"");
        if (R.Percent(50))
            Out.Prop(1, "MaxButton", False);
        if (R.Percent(40))
            Out.Prop(1, "MDIChild", True);
        Out.Prop(1, "ScaleHeight", Height);
        Out.Prop(1, "ScaleWidth", Width);
        if (R.Percent(50))
            Out.Prop(1, "ShowInTaskbar", False);
        Out.Prop(1, "StartUpPosition", "1  'CenterOwner");
        const long Menu = R.Percent(40) ? 30 : 0;
        bool Bar = UseBar, Clock = R.Percent(25), Tab = UseTab;
        while (Out.Lines() - Start < Budget - Menu) {
            const int K = R.Range(0, 99);
            if (Tab) {
                Tabs(1);
                Tab = R.Percent(30);
            } else if (K < 40) {
                Frame(1);
            } else if (K < 70) {
                const TEntity& E = *R.Pick(Entities);
                FieldPair(1, R.Pick(E.Fields), 120, mTop);
                mTop += 400;
            } else if (K < 82) {
                Buttons(1);
            } else if (K < 90 && UseGrid) {
                Grid(1);
            } else if (Bar) {
                StatusBar(1);
                Bar = false;
            } else if (Clock) {
                Timer(1);
                Clock = false;
            } else {
                Frame(1);
            }
        }
        if (Menu)
            Menus(1);
        Out.Raw("End");
        Out.Part = ptHeader;
        Out.Raw("Attribute VB_Name = \"" + Name + "\"");
        Out.Raw("Attribute VB_GlobalNameSpace = False");
        Out.Raw("Attribute VB_Creatable = False");
        Out.Raw("Attribute VB_PredeclaredId = True");
        Out.Raw("Attribute VB_Exposed = False");
        Out.Part = ptCode;
    }

    /// A user control's header with its few constituent controls.
    void ControlHeader(const std::string& Name) {
        mFormName = Name;
        mOnForm = mOnControl = true;
        Out.Part = ptHeader;
        Out.Raw("VERSION 5.00");
        Out.Part = ptBlock;
        Out.Raw("Begin VB.UserControl " + Name + " ");
        Out.Prop(1, "ClientHeight", "315");
        Out.Prop(1, "ClientWidth", "1815");
        Out.Prop(1, "ScaleHeight", "315");
        Out.Prop(1, "ScaleWidth", "1815");
        if (R.Percent(50))
            Font(1, false);
        NewControl(1, "VB.TextBox", "txtDate");
        Place(2, 315, 0, 0, 1455);
        EndControl(1);
        NewControl(1, "VB.CommandButton", "cmdDrop");
        Out.Prop(2, "Caption", "\"...\"");
        Place(2, 315, 1455, 0, 360);
        EndControl(1);
        Out.Raw("End");
        Out.Part = ptHeader;
        Out.Raw("Attribute VB_Name = \"" + Name + "\"");
        Out.Raw("Attribute VB_GlobalNameSpace = False");
        Out.Raw("Attribute VB_Creatable = True");
        Out.Raw("Attribute VB_PredeclaredId = False");
        Out.Raw("Attribute VB_Exposed = True");
        Out.Part = ptCode;
    }

    void ClassHeader(const std::string& Name) {
        mFormName = Name;
        Out.Raw("VERSION 1.0 CLASS");
        Out.Raw("BEGIN");
        Out.Raw("  MultiUse = -1  'True");
        Out.Raw("  Persistable = 0  'NotPersistable");
        Out.Raw("  DataBindingBehavior = 0  'vbNone");
        Out.Raw("  DataSourceBehavior  = 0  'vbNone");
        Out.Raw("  MTSTransactionMode  = 0  'NotAnMTSObject");
        Out.Raw("END");
        Out.Raw("Attribute VB_Name = \"" + Name + "\"");
        Out.Raw("Attribute VB_GlobalNameSpace = False");
        Out.Raw("Attribute VB_Creatable = True");
        Out.Raw("Attribute VB_PredeclaredId = False");
        Out.Raw("Attribute VB_Exposed = False");
    }

private:
    TRng& R;
    const std::vector<std::string>& mWords;
    TFileText& Out;
    TLang mLang;
    const TEntity* mEntity = nullptr;
    std::string mRoutine;
    std::string mFormName;
    bool mOnForm = false, mOnControl = false, mUseDtp = false;
    int mTabIndex = 0, mTop = 120;
    std::map<std::string, int> mNames, mRoutines;
    std::size_t mProperties = 0; ///< fields of the primary entity that have their properties
};

/// Names of the modules: kind prefix, entity and role, as such projects name them.
std::vector<std::string> ModuleNames(TRng& R, const std::vector<TEntity>& Entities, const char* Prefix,
                                     std::initializer_list<const char*> Roles,
                                     std::initializer_list<const char*> Others, int Count) {
    std::vector<std::string> All;
    for (const char* O : Others)
        All.push_back(std::string(Prefix) + O);
    std::vector<std::string> Rest;
    for (const TEntity& E : Entities)
        for (const char* Role : Roles)
            Rest.push_back(std::string(Prefix) + E.Name + Role);
    for (std::size_t I = Rest.size(); I > 1; --I)
        std::swap(Rest[I - 1], Rest[R.Below(I)]);
    for (std::size_t I = 0; All.size() < static_cast<std::size_t>(Count); ++I)
        All.push_back(I < Rest.size() ? Rest[I]
                                      : Rest[I % Rest.size()] + std::to_string(I / Rest.size() + 1));
    All.resize(static_cast<std::size_t>(Count));
    return All;
}

/// Name in another letter case, as files copied from Windows often are: all upper, all lower,
/// or the kind prefix in capitals.
std::string OtherCase(TRng& R, std::string Name) {
    const std::uint32_t How = R.Below(3);
    for (std::size_t I = 0; I < Name.size(); ++I) {
        char& C = Name[I];
        const bool Upper = How == 0 || (How == 2 && I < 3);
        if (Upper && C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
        else if (!Upper && C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    }
    return Name;
}

} // namespace

std::vector<std::string> TVbProject::Files() const {
    std::vector<std::string> F;
    for (const TVbModule& M : Modules)
        F.push_back(Folder + M.FileName);
    return F;
}

TVbProject GenerateVbProject(const std::string& FolderName, const std::vector<std::string>& Words,
                             std::uint32_t Seed) {
    return GenerateVbProject(FolderName, Words, TVbShape{}, Seed);
}

TVbProject GenerateVbProject(const std::string& FolderName, const std::vector<std::string>& Words,
                             const TVbShape& Shape, std::uint32_t Seed) {
    TVbProject P;
    P.Folder = FolderName.ends_with('/') ? FolderName : FolderName + "/";
    P.ProjectFile = Shape.ProjectFile.empty() ? std::string() : P.Folder + Shape.ProjectFile;
    fs::remove_all(P.Folder);
    fs::create_directories(P.Folder);
    TRng R(Seed);
    // Names on disk that differ in case from the project's entries are drawn apart, so that the
    // same seed writes the same text whatever the share of them.
    TRng CaseRng(Seed ^ 0x5A5A5A5Au);
    const std::vector<TEntity> Entities = MakeEntities();

    struct TPlan {
        std::string Name;
        char Kind;
        double CodeWeight, LayoutWeight;
    };
    std::vector<TPlan> Plan;
    for (const std::string& N : ModuleNames(
             R, Entities, "frm",
             {"", "List", "Search", "Edit", "Details", "Select", "History", "Print", "Import", "Overview",
              "Period", "Report", "Entry"},
             {"Main", "About", "Login", "Splash", "Options", "Calendar", "Period", "YearEnd"}, Shape.Forms))
        Plan.push_back({N, 'F', 0.15 + 2.0 * R.Skewed(), 0.2 + 3.0 * R.Skewed()});
    for (const std::string& N :
         ModuleNames(R, Entities, "mod", {"", "Calc", "Data", "Rules", "Print", "Export", "Import", "Tools"},
                     {"Globals", "Database", "Dates", "Format", "Utils", "Errors", "Ini", "Main", "API",
                      "Strings", "DateTools", "Reports"},
                     Shape.CodeModules))
        Plan.push_back({N, 'M', 0.3 + 4.0 * R.Skewed(), 0});
    for (const std::string& N :
         ModuleNames(R, Entities, "cls", {"", "s", "Item", "Manager", "Rules"},
                     {"Database", "Logger", "IniFile", "Period", "DateRange", "Registry"}, Shape.Classes))
        Plan.push_back({N, 'C', 0.3 + 3.0 * R.Skewed(), 0});
    const char* const Controls[] = {"ctlDateBox", "ctlTimeEdit", "ctlAmountBox", "ctlSearchBox",
                                    "ctlCalendar"};
    for (int I = 0; I < std::min<int>(Shape.Controls, std::size(Controls)); ++I)
        Plan.push_back({Controls[I], 'U', 0.2 + R.Skewed(), 0});
    // Forms, modules and classes are listed in the order they were added to the project.
    for (std::size_t I = Plan.size(); I > 1; --I)
        std::swap(Plan[I - 1], Plan[R.Below(I)]);

    // Budgets follow the lines still missing, so that the totals land on the targets.
    double CodeWeights = 0, LayoutWeights = 0;
    for (const TPlan& M : Plan) {
        CodeWeights += M.CodeWeight;
        LayoutWeights += M.LayoutWeight;
    }
    const long LayoutTarget = static_cast<long>(static_cast<double>(Shape.Lines) * LayoutShare);
    long CodeLeft = Shape.Lines - LayoutTarget, LayoutLeft = LayoutTarget;

    std::string Vbp;
    auto VbpLine = [&](std::string_view S) {
        AppendAnsi(Vbp, S);
        Vbp += "\r\n";
    };
    auto VbpEntry = [&](const TVbModule& Module, const std::string& Name) {
        switch (Module.Kind) {
        case 'F':
            VbpLine("Form=" + Module.Entry);
            break;
        case 'M':
            VbpLine("Module=" + Name + "; " + Module.Entry);
            break;
        case 'C':
            VbpLine("Class=" + Name + "; " + Module.Entry);
            break;
        default:
            VbpLine("UserControl=" + Module.Entry);
        }
    };
    VbpLine("Type=Exe");
    VbpLine(
        R"~(Reference=*\G{00020430-0000-0000-C000-000000000046}#2.0#0#..\..\..\..\WINDOWS\System32\stdole2.tlb#OLE Automation)~");
    VbpLine(
        R"~(Reference=*\G{00000205-0000-0010-8000-00AA006D2EA4}#2.5#0#..\..\..\..\Program Files\Common Files\System\ado\msado25.tlb#Microsoft ActiveX Data Objects 2.5 Library)~");
    VbpLine(
        R"~(Reference=*\G{00025E01-0000-0000-C000-000000000046}#5.0#0#..\..\..\..\Program Files\Common Files\Microsoft Shared\DAO\dao360.dll#Microsoft DAO 3.6 Object Library)~");
    VbpLine("Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX");
    VbpLine("Object={86CF1D34-0C5F-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCT2.OCX");
    VbpLine("Object={5E9E78A0-531B-11CF-91F6-C2863C385E30}#1.0#0; MSFLXGRD.OCX");
    VbpLine("Object={BDC217C8-ED16-11CD-956C-0000C04E4C0A}#1.1#0; TABCTL32.OCX");

    for (const TPlan& M : Plan) {
        const char* Ext = M.Kind == 'F' ? ".frm" : M.Kind == 'M' ? ".bas" : M.Kind == 'C' ? ".cls" : ".ctl";
        TVbModule Module{M.Name + Ext, M.Kind, !R.Percent(15), 0, M.Name + Ext};
        if (CaseRng.Percent(Shape.CaseMismatchPercent))
            Module.FileName = OtherCase(CaseRng, Module.FileName);
        const int IndentKind = R.Range(0, 99);
        TFileText Out(Module.CrLf, IndentKind < 75 ? "    " : IndentKind < 95 ? "\t" : "  ");
        const int L = R.Range(0, 99);
        TModuleGen G(R, Words, Out, L < 65 ? lnEnglish : L < 90 ? lnGerman : lnFrench);
        // The module's entities: the one its name mentions first.
        for (const TEntity& E : Entities)
            if (M.Name.find(E.Name) != std::string::npos)
                G.Entities.push_back(&E);
        while (G.Entities.size() < (M.Kind == 'F' ? 3u : 2u))
            G.Entities.push_back(&Entities[R.Below(Entities.size())]);
        // Date handling gathers in some modules and is rare in others.
        const bool DateModule =
            M.Name.find("Date") != std::string::npos || M.Name.find("Period") != std::string::npos ||
            M.Name.find("Calendar") != std::string::npos || M.Name.find("YearEnd") != std::string::npos;
        G.DateRate = DateModule ? 180 : R.Range(8, 65);

        const long Code = static_cast<long>(CodeLeft * M.CodeWeight / CodeWeights);
        CodeWeights -= M.CodeWeight;
        if (M.Kind == 'F') {
            const long Layout = static_cast<long>(LayoutLeft * M.LayoutWeight / LayoutWeights);
            LayoutWeights -= M.LayoutWeight;
            G.FormHeader(M.Name, Layout);
        } else if (M.Kind == 'U') {
            G.ControlHeader(M.Name);
        } else if (M.Kind == 'C') {
            G.ClassHeader(M.Name);
        } else {
            Out.Raw("Attribute VB_Name = \"" + M.Name + "\"");
        }
        if (M.Kind == 'F' || M.Kind == 'U')
            LayoutLeft -= Out.Lines();
        const long Header = Out.Lines();
        G.Declarations(M.Kind,
                       M.Name == "modGlobals" || M.Name == "modAPI" || (M.Kind == 'M' && R.Percent(8)));
        if (DateModule && M.Kind != 'F')
            G.DateHelpers(R.Range(3, 8));
        G.Routines(Header + std::max(Code, 40L), M.Kind);
        CodeLeft -= Out.Lines() - Header;
        Out.Write(P.Folder + Module.FileName);
        Out.AddTo(P);
        Module.Lines = Out.Lines();
        P.LfFiles += !Module.CrLf;
        VbpEntry(Module, M.Name);
        P.Modules.push_back(std::move(Module));
    }
    // Modules of a folder beside the project's, listed as its own.
    for (const TVbShared& S : Shape.Shared) {
        TVbModule Module = S.Module;
        Module.FileName = S.FromProject;
        VbpEntry(Module, S.Name);
        P.Lines += Module.Lines;
        P.Bytes += static_cast<long long>(fs::file_size(P.Folder + Module.FileName));
        P.Modules.push_back(std::move(Module));
    }
    for (const std::string& S : std::vector<std::string>{"Startup=\"Sub Main\"",
                                                         "HelpFile=\"\"",
                                                         "Title=\"" + Shape.Name + "\"",
                                                         "ExeName32=\"" + Shape.Name + ".exe\"",
                                                         "Command32=\"\"",
                                                         "Name=\"" + Shape.Name + "\"",
                                                         "HelpContextID=\"0\"",
                                                         "CompatibleMode=\"0\"",
                                                         "MajorVer=2",
                                                         "MinorVer=1",
                                                         "RevisionVer=37",
                                                         "AutoIncrementVer=1",
                                                         "ServerSupportFiles=0",
                                                         "VersionCompanyName=\"Müller & Söhne GmbH\"",
                                                         "CompilationType=0",
                                                         "OptimizationType=0",
                                                         "FavorPentiumPro(tm)=0",
                                                         "CodeViewDebugInfo=0",
                                                         "NoAliasing=0",
                                                         "BoundsCheck=0",
                                                         "OverflowCheck=0",
                                                         "FlPointCheck=0",
                                                         "FDIVCheck=0",
                                                         "UnroundedFP=0",
                                                         "StartMode=0",
                                                         "Unattended=0",
                                                         "Retained=0",
                                                         "ThreadPerObject=0",
                                                         "MaxNumberOfThreads=1"})
        VbpLine(S);
    if (!P.ProjectFile.empty())
        std::ofstream(P.ProjectFile, std::ios::binary) << Vbp;
    // The folder of a project under audit has been left as it is for years, and the scan keeps
    // the listings of such folders; a year-old time makes the generated folder one of them.
    std::error_code Ec;
    fs::last_write_time(P.Folder, fs::file_time_type::clock::now() - std::chrono::hours(24 * 365), Ec);
    return P;
}

long long LinesHoldingAny(const TVbProject& Project, const std::vector<std::string>& Words) {
    long long N = 0;
    std::string Text;
    for (const std::string& File : Project.Files()) {
        std::ifstream In(File, std::ios::binary);
        Text.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
        std::string_view Rest = Text;
        while (!Rest.empty()) {
            const std::size_t E = std::min(Rest.find('\n'), Rest.size());
            const std::string_view Line = Rest.substr(0, E);
            for (const std::string& W : Words)
                if (!W.empty() && Line.find(W) != std::string_view::npos) {
                    ++N;
                    break;
                }
            Rest.remove_prefix(std::min(E + 1, Rest.size()));
        }
    }
    return N;
}

std::vector<std::string> ReadWordList(const std::string& FileName) {
    std::vector<std::string> Words;
    std::ifstream In(FileName, std::ios::binary);
    for (std::string Line; std::getline(In, Line);) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (!Line.empty())
            Words.push_back(Line);
    }
    return Words;
}

std::vector<double> GrepSeconds(const std::vector<std::string>& Files, const std::vector<std::string>& Words,
                                const std::string& Options, int Runs) {
    const std::string Patterns = TempName("qx_bench_words") + ".txt";
    {
        std::ofstream Out(Patterns, std::ios::binary);
        for (const std::string& W : Words)
            Out << W << '\n';
    }
    // The counts go to a file: with its output on /dev/null, GNU grep stops at the first match.
    const std::string Counts = Patterns + ".out";
    std::vector<std::string> Args = {"grep", "-c", "-F"};
    if (!Options.empty())
        Args.push_back(Options);
    Args.push_back("-f");
    Args.push_back(Patterns);
    Args.insert(Args.end(), Files.begin(), Files.end());
    std::vector<char*> Argv;
    for (std::string& A : Args)
        Argv.push_back(A.data());
    Argv.push_back(nullptr);
    std::vector<std::string> Env = {"LC_ALL=C"};
    for (char** E = environ; *E != nullptr; ++E)
        if (!std::string_view(*E).starts_with("LC_ALL="))
            Env.emplace_back(*E);
    std::vector<char*> Envp;
    for (std::string& E : Env)
        Envp.push_back(E.data());
    Envp.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, 1, Counts.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<double> Times;
    for (int I = 0; I < Runs; ++I) {
        const auto T0 = std::chrono::steady_clock::now();
        pid_t Child = 0;
        int Status = 0;
        const bool Started = ::posix_spawnp(&Child, "grep", &Actions, nullptr, Argv.data(), Envp.data()) == 0;
        while (Started && ::waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
        }
        const double S = Seconds(std::chrono::steady_clock::now() - T0);
        // grep exits with 1 when no line matched: only a failure to run it counts.
        if (!Started || !WIFEXITED(Status) || WEXITSTATUS(Status) > 1) {
            Times.clear();
            break;
        }
        Times.push_back(S);
    }
    posix_spawn_file_actions_destroy(&Actions);
    fs::remove(Patterns);
    fs::remove(Counts);
    return Times;
}

double Seconds(std::chrono::steady_clock::duration D) {
    return std::chrono::duration<double>(D).count();
}

std::string TempName(const std::string& What) {
    return (fs::temp_directory_path() / (What + "_" + std::to_string(getpid()))).string();
}

long long StatusKb(const std::string& Field) {
    std::ifstream In("/proc/self/status");
    for (std::string Line; std::getline(In, Line);)
        if (Line.starts_with(Field + ":"))
            return std::atoll(Line.c_str() + Field.size() + 1);
    return 0;
}

void ResetPeakMemory() {
    // Writing 5 sets the peak back to what the process holds now.
    std::ofstream("/proc/self/clear_refs") << "5";
}

double Min(std::vector<double> Samples) {
    return Samples.empty() ? 0 : *std::min_element(Samples.begin(), Samples.end());
}

double Median(std::vector<double> Samples) {
    if (Samples.empty())
        return 0;
    std::sort(Samples.begin(), Samples.end());
    const std::size_t N = Samples.size();
    return N % 2 ? Samples[N / 2] : (Samples[N / 2 - 1] + Samples[N / 2]) / 2;
}

std::vector<std::string> TVbFolder::ProjectFiles() const {
    std::vector<std::string> Out;
    for (const TVbProject& P : Projects)
        Out.push_back(P.ProjectFile);
    return Out;
}

long long TVbFolder::Lines() const {
    long long N = 0;
    for (const TVbProject& P : Projects)
        N += P.Lines;
    return N;
}

std::size_t TVbFolder::Modules() const {
    std::size_t N = 0;
    for (const TVbProject& P : Projects)
        N += P.Modules.size();
    return N;
}

TVbFolder GenerateVbFolder(const std::string& RootName, const std::vector<std::string>& Words,
                           std::uint32_t Seed) {
    TVbFolder F;
    F.Root = RootName.ends_with('/') ? RootName : RootName + "/";
    fs::remove_all(F.Root);
    fs::create_directories(F.Root);
    // Modules that several projects share, in a folder beside theirs.
    TVbShape Common;
    Common.ProjectFile.clear();
    Common.Forms = Common.Classes = Common.Controls = 0;
    Common.CodeModules = 4;
    Common.Lines = 3600;
    const TVbProject Shared = GenerateVbProject(F.Root + "Common", Words, Common, Seed);

    struct TSize {
        const char* Name;
        int Modules;
        long Lines;
    };
    // Sizes as a company's projects have them: a few large ones, many small ones.
    const TSize Sizes[] = {{"Auftrag", 78, 51500},  {"Lager", 58, 38000},   {"Fibu", 47, 30000},
                           {"Personal", 39, 25000}, {"Kasse", 33, 21000},   {"Vertrieb", 29, 18000},
                           {"Service", 25, 16000},  {"Einkauf", 21, 13500}, {"Termine", 17, 11000},
                           {"Mahnwesen", 13, 9000}, {"Export", 11, 7000},   {"Setup", 7, 4500}};
    std::uint32_t S = Seed;
    for (const TSize& Size : Sizes) {
        TVbShape Shape;
        Shape.Name = Size.Name;
        Shape.ProjectFile = std::string(Size.Name) + ".vbp";
        Shape.CaseMismatchPercent = 33;
        // Forms about half of the modules, code modules a third, the rest classes and a control.
        Shape.Controls = Size.Modules >= 30 ? 1 : 0;
        Shape.Forms = Size.Modules / 2;
        Shape.CodeModules = (Size.Modules - Shape.Forms - Shape.Controls) * 2 / 3;
        Shape.Classes = Size.Modules - Shape.Forms - Shape.Controls - Shape.CodeModules;
        Shape.Lines = Size.Lines;
        // Every project but the smallest lists one to three of the shared modules.
        for (std::size_t I = 0; I < Shared.Modules.size() && Size.Modules > 7; ++I)
            if (I == 0 || (S + I) % 4 == 0) {
                TVbShared M;
                M.Module = Shared.Modules[I];
                M.Name = M.Module.Entry.substr(0, M.Module.Entry.rfind('.'));
                M.Module.Entry = "..\\Common\\" + M.Module.Entry;
                M.FromProject = "../Common/" + Shared.Modules[I].FileName;
                Shape.Shared.push_back(M);
            }
        F.Projects.push_back(GenerateVbProject(F.Root + Size.Name, Words, Shape, ++S));
    }
    std::error_code Ec;
    fs::last_write_time(F.Root, fs::file_time_type::clock::now() - std::chrono::hours(24 * 365), Ec);
    return F;
}

std::vector<std::string> ProjectFilesFrom(int Argc, char** Argv) {
    std::vector<std::string> Files;
    for (int I = 1; I < Argc; ++I)
        Files.emplace_back(fs::absolute(Argv[I]).lexically_normal().string());
    if (Files.empty())
        if (const char* List = std::getenv("QX_BENCH_PROJECTS"))
            for (std::string_view Rest = List; !Rest.empty();) {
                const std::size_t E = std::min(Rest.find(':'), Rest.size());
                if (E > 0)
                    Files.emplace_back(
                        fs::absolute(std::string(Rest.substr(0, E))).lexically_normal().string());
                Rest.remove_prefix(std::min(E + 1, Rest.size()));
            }
    return Files;
}

std::vector<std::pair<std::string, std::string>> ProjectModules(const std::string& ProjectFile) {
    const std::string Folder = ProjectFile.substr(0, ProjectFile.rfind('/') + 1);
    std::vector<std::pair<std::string, std::string>> Out;
    for (const std::string& Line : LoadSourceLines(ProjectFile)) {
        std::string S = UpperCase(Line);
        if (S.find(".FRM") == std::string::npos && S.find(".BAS") == std::string::npos &&
            S.find(".CTL") == std::string::npos && S.find(".CLS") == std::string::npos)
            continue;
        CutProjectFileValue(S);
        Out.push_back(ModuleFile(S, Folder));
    }
    return Out;
}

} // namespace qxbench
