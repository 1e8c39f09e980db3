#pragma once
// The Access application service: what the database scans and the catalogue reader ask of Access,
// answered from the text export beside the database. For /data/nwind.mdb that is the folder
// /data/nwind.mdb.src/ with forms/, reports/ and modules/, one file per object named after it
// (any extension; exporters write .bas), each in Access's SaveAsText format
// (platform/access/SaveAsText.h). Beside a form or report, a .cls file of the same name holds its
// code where the exporter wrote the code apart, and a .json file its print settings. Files may be
// UTF-8, Windows-1252 or UTF-16 with a byte-order mark. A file that cannot be read fails only the
// object it holds. Objects that the export does not hold (all of them, without that folder) are
// served from the database file itself (platform/access/FileSource.h): its containers, its
// modules' code and its forms' and reports' controls by name and type, without the other
// property values. Failures raise EOleException; calls after Quit raise EOleSysError.
// The namespace is msaccess: a namespace "access" would collide with POSIX access().
//
//   auto App = msaccess::Application::Create();
//   App->OpenCurrentDatabase("/data/nwind.mdb", false);
//   auto& Forms = App->CurrentDB()->Containers("Forms").Documents();
//   for (int I = 0; I < Forms.Count(); ++I) Forms.Item(I).Name();
//   App->DoCmd().OpenForm("Orders", msaccess::acDesign);
//   auto Form = App->Forms("Orders");            // Properties(), Controls()
//   App->DoCmd().Close(msaccess::acForm, "Orders", msaccess::acSavePrompt);
//   App->DoCmd().OutputTo(msaccess::acOutputModule, "Form_Orders", msaccess::acFormatTXT,
//   "/data/Form_Orders.cbf"); App->Quit();

#include "platform/access/SaveAsText.h"
#include "platform/rtl/NamedList.h"
#include "platform/rtl/Variant.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace msaccess {

// Object types, views and options of the DoCmd methods.
constexpr int acForm = 2;
constexpr int acReport = 3;
constexpr int acModule = 5;
constexpr int acOutputModule = 5;
constexpr int acNormal = 0;
constexpr int acDesign = 1;
constexpr int acSavePrompt = 0;
inline constexpr const char* acFormatTXT = "MS-DOS Text (*.txt)";

class Property {
public:
    Property(std::string Name, Variant Value) : mName(std::move(Name)), mValue(std::move(Value)) {}
    const std::string& Name() const { return mName; }
    const Variant& Value() const { return mValue; }

private:
    std::string mName;
    Variant mValue;
};

/// Raises "There is no <item> ... in this collection." naming the item asked for.
struct NoSuchItem {
    [[noreturn]] static void Raise(const char* Noun, int Index);
    [[noreturn]] static void Raise(const char* Noun, const std::string& Name);
};
inline constexpr char kPropertyNoun[] = "property";
inline constexpr char kControlNoun[] = "control";

using PropertyList = TNamedList<Property, kPropertyNoun, NoSuchItem>;

/// A named control of a form or report: its properties in the order the export lists them.
class Control {
public:
    Control(std::string Name, std::string ControlType, PropertyList Properties)
        : mName(std::move(Name)), mControlType(std::move(ControlType)), mProperties(std::move(Properties)) {}
    const std::string& Name() const { return mName; }
    /// The export's word for the control ("TextBox", "Label" ...).
    const std::string& ControlType() const { return mControlType; }
    const PropertyList& Properties() const { return mProperties; }

private:
    std::string mName;
    std::string mControlType;
    PropertyList mProperties;
};

using ControlList = TNamedList<Control, kControlNoun, NoSuchItem>;

/// A form or report open in design view. Its properties are Name, then those of its block; its
/// controls are the named controls at any depth (attached labels included, sections not), each
/// with its own properties followed by the defaults of its type that it does not set.
class AccessObject {
public:
    AccessObject(std::string Name, PropertyList Properties, ControlList Controls)
        : mName(std::move(Name)), mProperties(std::move(Properties)), mControls(std::move(Controls)) {}
    const std::string& Name() const { return mName; }
    const PropertyList& Properties() const { return mProperties; }
    const ControlList& Controls() const { return mControls; }

private:
    std::string mName;
    PropertyList mProperties;
    ControlList mControls;
};

class Document {
public:
    explicit Document(std::string Name) : mName(std::move(Name)) {}
    const std::string& Name() const { return mName; }

private:
    std::string mName;
};

class DocumentList {
public:
    int Count() const { return static_cast<int>(mItems.size()); }
    const Document& Item(int Index) const;
    void Add(Document D) { mItems.push_back(std::move(D)); }

private:
    std::vector<Document> mItems;
};

/// "Forms", "Reports" or "Modules", with its documents in name order.
class Container {
public:
    Container(std::string Name, DocumentList Documents)
        : mName(std::move(Name)), mDocuments(std::move(Documents)) {}
    const std::string& Name() const { return mName; }
    const DocumentList& Documents() const { return mDocuments; }

private:
    std::string mName;
    DocumentList mDocuments;
};

class Application;

/// The database open in the application (CurrentDB).
class CurrentDatabase {
public:
    CurrentDatabase(std::string Name, std::vector<Container> Containers)
        : mName(std::move(Name)), mContainers(std::move(Containers)) {}
    const std::string& Name() const { return mName; }
    int ContainerCount() const { return static_cast<int>(mContainers.size()); }
    const Container& Containers(int Index) const;
    /// By name, without regard to case; raises EOleException for an unknown one.
    const Container& Containers(const std::string& Name) const;
    /// Lets go of the object; the application keeps the database open.
    void Close() {}

private:
    std::string mName;
    std::vector<Container> mContainers;
};

/// ErrorCode of the EOleException that OpenModule raises for a form or report without a module:
/// it has no code, as against code that cannot be read.
constexpr std::int32_t acErrNoModule = 2516;

/// The application's DoCmd object.
class DoCmdObject {
public:
    explicit DoCmdObject(Application& Owner) : mOwner(Owner) {}
    /// Opens a form; filter, where condition, data mode and window mode are accepted and do not
    /// matter for what the export holds. Every view shows the design.
    void OpenForm(const std::string& FormName, int View = acNormal, const Variant& FilterName = {},
                  const Variant& WhereCondition = {}, const Variant& DataMode = {}, int WindowMode = 0);
    void OpenReport(const std::string& ReportName, int View = acNormal, const Variant& FilterName = {},
                    const Variant& WhereCondition = {});
    /// A standard module by its name, or the module of a form or report as "Form_<name>" or
    /// "Report_<name>"; raises EOleException when there is no such module or it holds no code (for
    /// a form or report without code, with the ErrorCode acErrNoModule).
    void OpenModule(const std::string& ModuleName);
    /// Writes a module's code (ObjectType acOutputModule) to OutputFile as Windows-1252 text with
    /// CR LF line ends. Other object types and formats are refused.
    void OutputTo(int ObjectType, const std::string& ObjectName, const std::string& OutputFormat,
                  const std::string& OutputFile, bool AutoStart = false,
                  const std::string& TemplateFile = "");
    /// Closes a form (acForm), report (acReport) or module (acModule); an object that is not open
    /// is passed over.
    void Close(int ObjectType, const std::string& ObjectName, int Save = acSavePrompt);

private:
    Application& mOwner;
};

/// The application object. Held as std::shared_ptr<msaccess::Application>.
class Application {
public:
    static std::shared_ptr<Application> Create();
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// Opens FileName (Exclusive is accepted and ignored). Raises EOleException when the file does
    /// not exist, is no Access database, or another database is open.
    void OpenCurrentDatabase(const std::string& FileName, bool Exclusive = false);
    void CloseCurrentDatabase();
    std::shared_ptr<CurrentDatabase> CurrentDB();
    DoCmdObject& DoCmd();
    /// An open form or report, by name; raises EOleException when it is not open.
    std::shared_ptr<AccessObject> Forms(const std::string& Name);
    std::shared_ptr<AccessObject> Reports(const std::string& Name);
    /// Ends the application; every later call raises EOleSysError.
    void Quit();
    bool Running() const { return !mQuit; }
    /// How many applications of this process are running (created and not yet quit).
    static int RunningCount();
    /// The export folder of the open database (ending with '/'), whether or not it exists.
    std::string ExportFolder() const;
    /// Whether forms or reports of the open database come from the database file rather than the
    /// export: of those only the controls' names and types are read, no other property value.
    bool PropertiesUnread() const;

private:
    friend class DoCmdObject;
    struct Files;
    void CheckRunning() const;
    void CheckDatabase() const;
    std::shared_ptr<AccessObject> Load(int Kind, const std::string& Name);
    std::vector<std::string> ModuleCode(const std::string& ModuleName);

    DoCmdObject mDoCmd{*this};
    std::string mDatabase;
    std::unique_ptr<Files> mFiles;
    std::shared_ptr<CurrentDatabase> mCurrentDb;
    std::map<std::string, std::shared_ptr<AccessObject>> mOpenForms;
    std::map<std::string, std::shared_ptr<AccessObject>> mOpenReports;
    std::vector<std::string> mOpenModules;
    /// The open database has an export folder.
    bool mExported = false;
    bool mQuit = false;
};

} // namespace msaccess
