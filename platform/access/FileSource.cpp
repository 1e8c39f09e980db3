#include "platform/access/FileSource.h"

#include "platform/dao/Snapshot.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <map>

namespace msaccess {

namespace {

const char* const kSource = "Access.Application";

[[noreturn]] void Fail(const std::string& Message) {
    throw EOleException(Message, 0, kSource);
}

/// The word of Access's text export for a control type ("Control" for one it does not know).
std::string ControlTypeName(int TypeCode) {
    static const std::map<int, const char*> kNames = {
        {100, "Label"},
        {101, "Rectangle"},
        {102, "Line"},
        {103, "Image"},
        {104, "CommandButton"},
        {105, "OptionButton"},
        {106, "CheckBox"},
        {107, "OptionGroup"},
        {108, "BoundObjectFrame"},
        {109, "TextBox"},
        {110, "ListBox"},
        {111, "ComboBox"},
        {112, "Subform"},
        {113, "UnboundObjectFrame"},
        {114, "UnboundObjectFrame"},
        {118, "PageBreak"},
        {119, "CustomControl"},
        {122, "ToggleButton"},
        {123, "Tab"},
        {124, "Page"},
        {126, "Attachment"},
        {127, "EmptyCell"},
        {128, "WebBrowser"},
        {129, "NavigationControl"},
        {130, "NavigationButton"},
    };
    const auto It = kNames.find(TypeCode);
    return It == kNames.end() ? std::string("Control") : It->second;
}

template <class T>
const T* FindNamed(const std::vector<T>& Items, const std::string& Name) {
    for (const T& Item : Items)
        if (SameText(Item.Name, Name))
            return &Item;
    return nullptr;
}

const char* KindName(int Kind) {
    return Kind == acForm ? "form" : "report";
}

} // namespace

std::vector<std::string> SplitLines(std::string_view Text) {
    std::vector<std::string> Out;
    std::size_t Start = 0;
    for (std::size_t I = 0; I < Text.size(); ++I)
        if (Text[I] == '\r' || Text[I] == '\n') {
            Out.emplace_back(Text.substr(Start, I - Start));
            if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
            Start = I + 1;
        }
    if (Start < Text.size())
        Out.emplace_back(Text.substr(Start));
    return Out;
}

FileSource::FileSource(std::string DatabaseName, std::shared_ptr<const dao::Snapshot> Data)
    : mDatabase(std::move(DatabaseName)), mData(std::move(Data)) {}

std::vector<std::string> FileSource::Documents(const std::string& Container) const {
    // Containers are the catalogue rows of type 3; their documents are the rows below them. When
    // damage took the container's own row (its name, type or the row itself), its documents are
    // still known by their type: every form, report or module, not none.
    std::vector<std::string> Names;
    const dao::CatalogObject* Row = nullptr;
    for (const dao::CatalogObject& O : mData->Objects)
        if (!Row && O.Type == 3 && SameText(O.Name, Container))
            Row = &O;
    static const std::map<std::string, int> kTypes = {
        {"Forms", dao::kFormObject}, {"Reports", dao::kReportObject}, {"Modules", dao::kModuleObject}};
    const auto Type = std::find_if(kTypes.begin(), kTypes.end(),
                                   [&Container](const auto& T) { return SameText(T.first, Container); });
    for (const dao::CatalogObject& O : mData->Objects)
        if (Row ? O.ParentId == Row->Id && &O != Row : Type != kTypes.end() && O.Type == Type->second)
            Names.push_back(O.Name);
    auto Listed = [](const std::vector<std::string>& List, const std::string& Name) {
        return std::any_of(List.begin(), List.end(),
                           [&Name](const std::string& N) { return SameText(N, Name); });
    };
    // What the file holds of a form, report or module whose catalogue row is damaged is still
    // there to be scanned: the designs the file's list of forms and reports names, and the code
    // of the VBA project of forms, reports and standard modules. Other class modules that the
    // catalogue does not list are the project's own (forms of the VBA editor).
    const bool Forms = SameText(Container, "Forms");
    if (Forms || SameText(Container, "Reports")) {
        for (const dao::FileDesign& D : Forms ? mData->Project.Forms : mData->Project.Reports)
            if (!Listed(Names, D.Name))
                Names.push_back(D.Name);
        return Names;
    }
    if (!SameText(Container, "Modules"))
        return Names;
    const std::vector<std::string> FormNames = Documents("Forms"), ReportNames = Documents("Reports");
    for (const dao::FileModule& M : mData->Project.Modules) {
        const bool Form = M.Name.size() > 5 && SameText(M.Name.substr(0, 5), "Form_");
        const bool Report = M.Name.size() > 7 && SameText(M.Name.substr(0, 7), "Report_");
        if ((Form || Report || !M.Class) && !Listed(Names, M.Name) &&
            !(Form && Listed(FormNames, M.Name.substr(5))) &&
            !(Report && Listed(ReportNames, M.Name.substr(7))))
            Names.push_back(M.Name);
    }
    return Names;
}

std::string FileSource::ProblemWith(const std::string& Name, int Kind) const {
    // The reader's notes name the module or design they concern ("the design of the form 'X'
    // cannot be read (why)"), or concern all the modules ("its VBA project ..."), all the forms
    // or reports ("the list of forms ..."), or everything of the file's application objects.
    const std::vector<std::string>& Problems = mData->Project.Problems;
    const std::string Named = "'" + Name + "' cannot be read (";
    for (const std::string& P : Problems)
        if (const std::size_t At = P.find(Named); At != std::string::npos && P.back() == ')')
            return P.substr(At + Named.size(), P.size() - 1 - At - Named.size());
    for (const std::string& P : Problems)
        if (P.find("'" + Name + "'") != std::string::npos)
            return P;
    const char* Scope = Kind == acForm     ? "the list of forms"
                        : Kind == acReport ? "the list of reports"
                                           : nullptr;
    for (const std::string& P : Problems) {
        if (P.starts_with("the design of ") || P.starts_with("the code of module "))
            continue;
        const bool Modules = P.starts_with("its VBA project");
        const bool Designs = P.starts_with("the list of ");
        const bool Both = P.starts_with("the list of forms and reports");
        if ((!Modules && !Designs) || (Modules && Kind == acModule) ||
            (Scope && (Both || P.starts_with(Scope))))
            return P;
    }
    return {};
}

std::shared_ptr<AccessObject> FileSource::Load(int Kind, const std::string& Name) const {
    const char* Container = Kind == acForm ? "Forms" : "Reports";
    const std::vector<std::string> Names = Documents(Container);
    const auto Listed =
        std::find_if(Names.begin(), Names.end(), [&Name](const std::string& N) { return SameText(N, Name); });
    if (Listed == Names.end())
        Fail(Format("The %s '%s' was not found in '%s'.", KindName(Kind), Name, mDatabase));
    const auto& Designs = Kind == acForm ? mData->Project.Forms : mData->Project.Reports;
    const dao::FileDesign* Design = FindNamed(Designs, *Listed);
    if (!Design) {
        const std::string Why = ProblemWith(*Listed, Kind);
        Fail(Format("The design of the %s '%s' cannot be read from '%s': %s.", KindName(Kind), *Listed,
                    mDatabase,
                    Why.empty() ? std::string("the file holds no design of it that can be read") : Why));
    }
    PropertyList Props;
    Props.Add(Property("Name", Variant(Design->Name)));
    ControlList Controls;
    for (const dao::FileControl& C : Design->Controls) {
        if (C.Type >= dao::kFirstSection && C.Type <= dao::kLastSection)
            continue;
        PropertyList CP;
        CP.Add(Property("Name", Variant(C.Name)));
        CP.Add(Property("ControlType", Variant(static_cast<std::int32_t>(C.Type))));
        Controls.Add(Control(C.Name, ControlTypeName(C.Type), std::move(CP)));
    }
    return std::make_shared<AccessObject>(Design->Name, std::move(Props), std::move(Controls));
}

std::vector<std::string> FileSource::ModuleCode(const std::string& ModuleName) const {
    if (const dao::FileModule* M = FindNamed(mData->Project.Modules, ModuleName)) {
        std::vector<std::string> Code = VisibleCode(SplitLines(M->Code));
        if (std::any_of(Code.begin(), Code.end(), [](const std::string& L) { return !Trim(L).empty(); }))
            return Code;
    }
    for (const auto& [Prefix, Kind] : {std::pair<std::string, int>{"Form_", acForm}, {"Report_", acReport}}) {
        if (ModuleName.size() <= Prefix.size() || !SameText(ModuleName.substr(0, Prefix.size()), Prefix))
            continue;
        const std::string Name = ModuleName.substr(Prefix.size());
        const std::vector<std::string> Names = Documents(Kind == acForm ? "Forms" : "Reports");
        if (std::any_of(Names.begin(), Names.end(),
                        [&Name](const std::string& N) { return SameText(N, Name); }) &&
            ProblemWith(ModuleName, acModule).empty())
            throw EOleException(Format("The %s '%s' has no module.", KindName(Kind), Name), acErrNoModule,
                                kSource);
    }
    const std::string Why = ProblemWith(ModuleName, acModule);
    if (!Why.empty())
        Fail(Format("The module '%s' cannot be read from '%s': %s.", ModuleName, mDatabase, Why));
    const std::vector<std::string> Modules = Documents("Modules");
    if (std::any_of(Modules.begin(), Modules.end(),
                    [&ModuleName](const std::string& N) { return SameText(N, ModuleName); }))
        Fail(Format("The module '%s' cannot be read from '%s': the file holds no source code of it.",
                    ModuleName, mDatabase));
    Fail(Format("The module '%s' was not found in '%s'.", ModuleName, mDatabase));
}

} // namespace msaccess
