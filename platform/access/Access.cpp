#include "platform/access/Access.h"

#include "platform/access/FileSource.h"
#include "platform/dao/DAO.h"
#include "platform/dao/JetFormat.h"
#include "platform/dao/ReaderProcess.h"

#include "platform/rtl/SafeFile.h"
#include "platform/rtl/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace msaccess {

namespace {

const char* const kSource = "Access.Application";
constexpr std::size_t kMaxFile = 64u << 20;

[[noreturn]] void Fail(const std::string& Message) {
    throw EOleException(Message, 0, kSource);
}

/// Object name from a file name: without its extension, converted from UTF-8 when it is that.
std::string ObjectName(const std::string& FileName) {
    const std::size_t Dot = FileName.rfind('.');
    const std::string Stem = Dot == std::string::npos || Dot == 0 ? FileName : FileName.substr(0, Dot);
    return LooksLikeUtf8(Stem) ? Utf8ToCp1252(Stem) : Stem;
}

bool IsRegularFile(const std::string& Path) {
    struct stat St {};
    return stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

/// The entry of Folder named Name without regard to case ("" when there is none).
std::string FindEntry(const std::string& Folder, const std::string& Name) {
    std::string Found;
    if (DIR* D = opendir(Folder.c_str())) {
        while (dirent* E = readdir(D)) {
            if (E->d_name == Name) {
                Found = E->d_name;
                break;
            }
            if (Found.empty() && SameText(E->d_name, Name))
                Found = E->d_name;
        }
        closedir(D);
    }
    return Found;
}

/// One object of the export: its name, its file and, for a form or report whose code the exporter
/// wrote apart, the class file beside it (same name, extension .cls).
struct ObjectFile {
    std::string Name;
    std::string File;
    std::string CodeFile;
};
using NameList = std::vector<ObjectFile>;

bool HasExtension(const std::string& FileName, const char* Extension) {
    const std::size_t Dot = FileName.rfind('.');
    return Dot != std::string::npos && Dot != 0 && SameText(FileName.substr(Dot), Extension);
}

/// The objects of the export's folder Sub. With Layouts (forms and reports), a .cls file holds the
/// code of the object of its name and a .json file its print settings: neither is an object.
NameList ListObjects(const std::string& Folder, const std::string& Sub, bool Layouts) {
    NameList Items;
    const std::string Entry = FindEntry(Folder, Sub);
    if (Entry.empty())
        return Items;
    const std::string Dir = Folder + Entry + "/";
    DIR* D = opendir(Dir.c_str());
    if (!D)
        return Items;
    std::vector<std::string> Files;
    while (dirent* E = readdir(D))
        if (E->d_name[0] != '.' && IsRegularFile(Dir + E->d_name))
            Files.push_back(E->d_name);
    closedir(D);
    std::sort(Files.begin(), Files.end());
    auto Companion = [Layouts](const std::string& F) {
        return Layouts && (HasExtension(F, ".cls") || HasExtension(F, ".json"));
    };
    for (const std::string& F : Files) {
        const std::string Name = ObjectName(F);
        if (!Companion(F) && std::none_of(Items.begin(), Items.end(),
                                          [&Name](const ObjectFile& I) { return SameText(I.Name, Name); }))
            Items.push_back({Name, Dir + F, {}});
    }
    for (const std::string& F : Files)
        if (Layouts && HasExtension(F, ".cls"))
            for (ObjectFile& I : Items)
                if (I.CodeFile.empty() && SameText(I.Name, ObjectName(F)))
                    I.CodeFile = Dir + F;
    std::stable_sort(Items.begin(), Items.end(), [](const ObjectFile& A, const ObjectFile& B) {
        return CompareText(A.Name, B.Name) < 0;
    });
    return Items;
}

const ObjectFile* Find(const NameList& List, const std::string& Name) {
    for (const ObjectFile& Item : List)
        if (SameText(Item.Name, Name))
            return &Item;
    return nullptr;
}

std::string ReadText(const std::string& Path) {
    if (const std::string Kind = NonFileKind(Path); !Kind.empty())
        Fail(Format("Cannot read '%s': it is %s, not a file.", Path, Kind));
    std::ifstream In(Path, std::ios::binary);
    if (!In)
        Fail(Format("Cannot read '%s': %s.", Path, std::strerror(errno)));
    std::string Bytes;
    char Buffer[65536];
    while (In.read(Buffer, sizeof Buffer) || In.gcount() > 0) {
        Bytes.append(Buffer, static_cast<std::size_t>(In.gcount()));
        if (Bytes.size() > kMaxFile)
            Fail(Format("Cannot read '%s': the file is larger than %d MB.", Path,
                        static_cast<int>(kMaxFile >> 20)));
    }
    return DecodeTextFile(Bytes);
}

PropertyList ToProperties(const std::vector<TextProperty>& Props) {
    PropertyList L;
    for (const TextProperty& P : Props)
        L.Add(Property(P.Name, P.Value));
    return L;
}

const char* KindName(int Kind) {
    return Kind == acForm ? "form" : "report";
}

} // namespace

// ---- collections ----

void NoSuchItem::Raise(const char* Noun, int Index) {
    Fail(Format("There is no %s %d in this collection.", Noun, Index));
}

void NoSuchItem::Raise(const char* Noun, const std::string& Name) {
    Fail(Format("There is no %s '%s' in this collection.", Noun, Name));
}

const Document& DocumentList::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        Fail(Format("There is no document %d in this container.", Index));
    return mItems[static_cast<std::size_t>(Index)];
}

const Container& CurrentDatabase::Containers(int Index) const {
    if (Index < 0 || Index >= ContainerCount())
        Fail(Format("There is no container %d in '%s'.", Index, mName));
    return mContainers[static_cast<std::size_t>(Index)];
}

const Container& CurrentDatabase::Containers(const std::string& Name) const {
    if (const Container* C = FindByName(mContainers, Name))
        return *C;
    Fail(Format("There is no container '%s' in '%s'.", Name, mName));
}

// ---- application ----

struct Application::Files {
    /// The objects of the text export.
    NameList Forms, Reports, Modules;
    /// The objects as the database file holds them: those the export does not hold are served
    /// from here. Nil when the file cannot be read and an export stands in for it.
    std::unique_ptr<FileSource> File;
};

std::shared_ptr<Application> Application::Create() {
    return std::make_shared<Application>();
}

namespace {
int gRunning = 0;
} // namespace

int Application::RunningCount() {
    return gRunning;
}

Application::Application() {
    ++gRunning;
}

Application::~Application() {
    if (!mQuit)
        --gRunning;
}

void Application::CheckRunning() const {
    if (mQuit)
        throw EOleSysError("The Access application has ended: the remote procedure call failed.");
}

void Application::CheckDatabase() const {
    CheckRunning();
    if (mDatabase.empty())
        Fail("There is no database open in Access.");
}

std::string Application::ExportFolder() const {
    return mDatabase + ".src/";
}

void Application::OpenCurrentDatabase(const std::string& FileName, bool /*Exclusive*/) {
    CheckRunning();
    if (!mDatabase.empty())
        Fail(Format("Access already has the database '%s' open.", mDatabase));
    if (!IsRegularFile(FileName))
        Fail(Format("Access cannot find the database file '%s'.", FileName));
    if (const dao::JetHeader H = dao::CheckJetFile(FileName); H.NotDatabase)
        Fail(Format("'%s' is not an Access database%s.", FileName,
                    H.Problem.empty() ? std::string() : " (" + H.Problem + ")"));
    auto Found = std::make_unique<Files>();
    const std::string Folder = FileName + ".src/";
    struct stat St {};
    const bool Exported = stat(Folder.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
    try {
        Found->File = std::make_unique<FileSource>(
            FileName, dao::ReadSnapshot(FileName, dao::ReaderProgram(), dao::ReaderTimeLimit()));
    } catch (const EOleException& E) {
        // An export holds what Access would show of the file; without one nothing can be read.
        if (!Exported)
            Fail(E.Message());
    }
    mDatabase = FileName;
    mExported = Exported;
    mFiles = std::move(Found);
    mFiles->Forms = ListObjects(Folder, "forms", true);
    mFiles->Reports = ListObjects(Folder, "reports", true);
    mFiles->Modules = ListObjects(Folder, "modules", false);
}

void Application::CloseCurrentDatabase() {
    CheckRunning();
    mOpenForms.clear();
    mOpenReports.clear();
    mOpenModules.clear();
    mFiles.reset();
    mCurrentDb.reset();
    mDatabase.clear();
}

std::shared_ptr<CurrentDatabase> Application::CurrentDB() {
    CheckDatabase();
    // Kept by the application, so that references into it outlive the pointer handed out.
    if (mCurrentDb)
        return mCurrentDb;
    std::vector<Container> Containers;
    for (const auto& [Name, List] : {std::pair<const char*, const NameList*>{"Forms", &mFiles->Forms},
                                     {"Reports", &mFiles->Reports},
                                     {"Modules", &mFiles->Modules}}) {
        // The file's objects in the file's order; with an export, those only it holds too, and
        // all in name order as the export's.
        std::vector<std::string> Names;
        if (mFiles->File)
            Names = mFiles->File->Documents(Name);
        for (const auto& Item : *List) {
            const auto Same = std::find_if(Names.begin(), Names.end(),
                                           [&Item](const std::string& N) { return SameText(N, Item.Name); });
            if (Same == Names.end())
                Names.push_back(Item.Name);
            else
                *Same = Item.Name;
        }
        if (mExported)
            std::stable_sort(Names.begin(), Names.end(), [](const std::string& A, const std::string& B) {
                return CompareText(A, B) < 0;
            });
        DocumentList Docs;
        for (const std::string& DocName : Names)
            Docs.Add(Document(DocName));
        Containers.emplace_back(Name, std::move(Docs));
    }
    mCurrentDb = std::make_shared<CurrentDatabase>(mDatabase, std::move(Containers));
    return mCurrentDb;
}

DoCmdObject& Application::DoCmd() {
    CheckRunning();
    return mDoCmd;
}

std::shared_ptr<AccessObject> Application::Load(int Kind, const std::string& Name) {
    CheckDatabase();
    const auto* Item = Find(Kind == acForm ? mFiles->Forms : mFiles->Reports, Name);
    if (!Item && mFiles->File)
        return mFiles->File->Load(Kind, Name);
    if (!Item)
        Fail(Format("The %s '%s' was not found in '%s'.", KindName(Kind), Name, mDatabase));
    const TextObject Obj = ParseSaveAsText(ReadText(Item->File), Item->File);
    PropertyList Props;
    Props.Add(Property("Name", Variant(Item->Name)));
    for (const TextProperty& P : Obj.Root.Properties)
        Props.Add(Property(P.Name, P.Value));
    ControlList Controls;
    for (const TextBlock& C : NamedControls(Obj))
        Controls.Add(Control(C.Name(), C.Type, ToProperties(C.Properties)));
    return std::make_shared<AccessObject>(Item->Name, std::move(Props), std::move(Controls));
}

std::shared_ptr<AccessObject> Application::Forms(const std::string& Name) {
    CheckDatabase();
    for (const auto& [Key, Obj] : mOpenForms)
        if (SameText(Key, Name))
            return Obj;
    Fail(Format("The form '%s' is not open in Access.", Name));
}

std::shared_ptr<AccessObject> Application::Reports(const std::string& Name) {
    CheckDatabase();
    for (const auto& [Key, Obj] : mOpenReports)
        if (SameText(Key, Name))
            return Obj;
    Fail(Format("The report '%s' is not open in Access.", Name));
}

std::vector<std::string> Application::ModuleCode(const std::string& ModuleName) {
    CheckDatabase();
    for (const auto& [Prefix, Kind] : {std::pair<std::string, int>{"Form_", acForm}, {"Report_", acReport}}) {
        if (ModuleName.size() <= Prefix.size() || !SameText(ModuleName.substr(0, Prefix.size()), Prefix))
            continue;
        const auto* Item =
            Find(Kind == acForm ? mFiles->Forms : mFiles->Reports, ModuleName.substr(Prefix.size()));
        if (!Item)
            continue;
        // The code is in the class file beside the layout where the exporter wrote one, else after
        // CodeBehindForm in the layout.
        std::vector<std::string> Code =
            VisibleCode(Item->CodeFile.empty() ? ParseSaveAsText(ReadText(Item->File), Item->File).Code
                                               : SplitLines(ReadText(Item->CodeFile)));
        if (std::any_of(Code.begin(), Code.end(), [](const std::string& L) { return !Trim(L).empty(); }))
            return Code;
        throw EOleException(Format("The %s '%s' has no module.", KindName(Kind), Item->Name), acErrNoModule,
                            kSource);
    }
    const auto* Item = Find(mFiles->Modules, ModuleName);
    if (!Item && mFiles->File)
        return mFiles->File->ModuleCode(ModuleName);
    if (!Item)
        Fail(Format("The module '%s' was not found in '%s'.", ModuleName, mDatabase));
    return VisibleCode(SplitLines(ReadText(Item->File)));
}

bool Application::PropertiesUnread() const {
    CheckDatabase();
    if (!mFiles->File)
        return false;
    for (const auto& [Container, List] :
         {std::pair<const char*, const NameList*>{"Forms", &mFiles->Forms}, {"Reports", &mFiles->Reports}})
        for (const std::string& Name : mFiles->File->Documents(Container))
            if (!Find(*List, Name))
                return true;
    return false;
}

void Application::Quit() {
    CheckRunning();
    mOpenForms.clear();
    mOpenReports.clear();
    mOpenModules.clear();
    mFiles.reset();
    mCurrentDb.reset();
    mDatabase.clear();
    mQuit = true;
    --gRunning;
}

// ---- DoCmd ----

void DoCmdObject::OpenForm(const std::string& FormName, int, const Variant&, const Variant&, const Variant&,
                           int) {
    mOwner.mOpenForms[FormName] = mOwner.Load(acForm, FormName);
}

void DoCmdObject::OpenReport(const std::string& ReportName, int, const Variant&, const Variant&) {
    mOwner.mOpenReports[ReportName] = mOwner.Load(acReport, ReportName);
}

void DoCmdObject::OpenModule(const std::string& ModuleName) {
    mOwner.ModuleCode(ModuleName);
    mOwner.mOpenModules.push_back(ModuleName);
}

void DoCmdObject::OutputTo(int ObjectType, const std::string& ObjectName, const std::string& OutputFormat,
                           const std::string& OutputFile, bool, const std::string&) {
    mOwner.CheckDatabase();
    if (ObjectType != acOutputModule)
        Fail(Format("Access can write only modules as text here, not object type %d ('%s').", ObjectType,
                    ObjectName));
    if (!SameText(OutputFormat, acFormatTXT))
        Fail(Format("The output format '%s' is not available for module '%s'.", OutputFormat, ObjectName));
    const std::vector<std::string> Code = mOwner.ModuleCode(ObjectName);
    std::string Text;
    for (const std::string& L : Code)
        Text += L + "\r\n";
    // The file is replaced as a whole, and a link standing at its name is replaced rather than
    // written through: the name is the program's, what the link points to is not.
    try {
        SaveFileSafely(
            OutputFile,
            [&Text](TStream& Out) { Out.WriteBuffer(Text.data(), static_cast<Longint>(Text.size())); }, true);
    } catch (const Exception& E) {
        Fail(Format("Access cannot write the module '%s' to '%s': %s.", ObjectName, OutputFile, E.Message()));
    }
}

void DoCmdObject::Close(int ObjectType, const std::string& ObjectName, int) {
    mOwner.CheckRunning();
    auto Drop = [&ObjectName](auto& Open) {
        for (auto It = Open.begin(); It != Open.end(); ++It)
            if (SameText(It->first, ObjectName)) {
                Open.erase(It);
                return;
            }
    };
    if (ObjectType == acForm)
        Drop(mOwner.mOpenForms);
    else if (ObjectType == acReport)
        Drop(mOwner.mOpenReports);
    else if (ObjectType == acModule)
        std::erase_if(mOwner.mOpenModules,
                      [&ObjectName](const std::string& M) { return SameText(M, ObjectName); });
}

} // namespace msaccess
