// The installer on Windows 11, run in a Wine prefix that reports build 22631 and whose powershell.exe
// records each run and the program that started it (tests/windows11-prefix.sh): the package's own
// folder, the Active Setup entry, the certificate, the scripts and who starts them, and the check.
#include <gtest/gtest.h>
#include <windows.h>
#include <wincrypt.h>
#include <shlwapi.h>
#include <algorithm>
#include <functional>
#include "ActiveSetup.h"
#include "Check.h"
#include "ShellStart.h"
#include "FolderTree.h"
#include "Installation.h"
#include "ModernMenu.h"
#include "PackageFamily.h"
#include "ProgramRunner.h"
#include "SetupTestSupport.h"
#include "TrustedCertificate.h"

namespace {

const char kRunsLog[] = "C:\\powershell-runs.log";
const char kActiveSetupKey[] =
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\{5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}";
const char kArguments[] = "-NoLogo -NoProfile -NonInteractive -WindowStyle Hidden -EncodedCommand ";
const wchar_t kRemoveScript[] =
    L"$ErrorActionPreference = 'Stop'; Get-AppxPackage -AllUsers -Name 'Zeph.Morvane' | Remove-AppxPackage -AllUsers";
const char kNote[] = "Windows 11's menu shows Morvane once Explorer restarts or at the next sign-in.";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(tolower(c)); });
    return text;
}

std::string PowerShellPath()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\WindowsPowerShell\\v1.0\\powershell.exe";
}

// The script of a PowerShell command line, from its Base64 after the last blank.
std::wstring DecodedScript(const std::string& commandLine)
{
    std::string encoded = commandLine.substr(commandLine.rfind(' ') + 1);
    DWORD size = 0;
    CryptStringToBinaryA(encoded.c_str(), 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr);
    std::wstring script(size / sizeof(wchar_t), L'\0');
    CryptStringToBinaryA(encoded.c_str(), 0, CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(&script[0]), &size,
                         nullptr, nullptr);
    return script;
}

std::wstring AddScript(const std::wstring& folder)
{
    return L"$ErrorActionPreference = 'Stop'; Add-AppxPackage -Path '" + folder + L"\\Morvane.msix' "
           L"-ExternalLocation '" + folder + L"\\Modern'";
}

struct RecordedRun {
    std::string parent;  // the program that started powershell.exe
    std::string commandLine;
};

std::vector<RecordedRun> RecordedRuns()
{
    std::vector<RecordedRun> runs;
    std::string log = ReadWholeFile(kRunsLog);
    for (size_t start = 0, end; (end = log.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = log.substr(start, end - start);
        size_t tab = line.find('\t');
        runs.push_back({ Lower(line.substr(0, tab)), line.substr(tab + 1) });
    }
    return runs;
}

// The desktop's shell starts its program without waiting for it: the runs once there are that many.
std::vector<RecordedRun> WaitForRuns(size_t count)
{
    WaitUntil(20000, [&] { return RecordedRuns().size() >= count; });
    return RecordedRuns();
}

std::string ThumbprintOfFile(const std::string& path)
{
    std::string der = ReadWholeFile(path);
    PCCERT_CONTEXT c = CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                    DWORD(der.size()));
    BYTE hash[20] = {};
    DWORD size = sizeof(hash);
    if (c)
        CertGetCertificateContextProperty(c, CERT_SHA1_HASH_PROP_ID, hash, &size);
    CertFreeCertificateContext(c);
    return std::string(reinterpret_cast<char*>(hash), size);
}

// Whether the local machine's "TrustedPeople" store, as Windows reads it, holds the certificate.
bool IsTrusted(const std::string& thumbprint)
{
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG, "TrustedPeople");
    CRYPT_HASH_BLOB hash = { DWORD(thumbprint.size()), reinterpret_cast<BYTE*>(const_cast<char*>(thumbprint.data())) };
    PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_SHA1_HASH, &hash, nullptr);
    CertFreeCertificateContext(found);
    CertCloseStore(store, 0);
    return found != nullptr;
}

// The entry's command registers the package for each account at its sign-in, without a window.
void ExpectActiveSetupEntry(const std::wstring& script, const char* version = "1,93,0,0")
{
    std::string text;
    EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kActiveSetupKey, nullptr, text));
    EXPECT_EQ("Morvane", text);
    EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kActiveSetupKey, "Version", text));
    EXPECT_EQ(version, text);
    EXPECT_TRUE(ReadText(HKEY_LOCAL_MACHINE, kActiveSetupKey, "StubPath", text));
    EXPECT_EQ("\"" + PowerShellPath() + "\" " + kArguments, text.substr(0, text.rfind(' ') + 1));
    EXPECT_EQ(script, DecodedScript(text));
    DWORD installed = 0, size = sizeof(installed);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_LOCAL_MACHINE, kActiveSetupKey, "IsInstalled", RRF_RT_REG_DWORD,
                                          nullptr, &installed, &size));
    EXPECT_EQ(1u, installed);
}

class Windows11Test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(HasModernMenu()) << "the prefix reports Windows 11";
        RemoveAnyInstallation();
        DeleteFileA(kRunsLog);
    }
    void TearDown() override
    {
        DistrustCertificate((BinFolder() + "\\Morvane.cer").c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kActiveSetupKey);
        RemoveAnyInstallation();
    }
};

}

TEST_F(Windows11Test, InstallUpgradeAndRemovalReachEveryAccount)
{
    CInstallFolder base("Eleven");
    const std::string folder = base.Path();
    const std::wstring wideFolder = ToWide(folder.c_str());
    const std::string thumbprint = ThumbprintOfFile(BinFolder() + "\\Morvane.cer");
    ASSERT_EQ(20u, thumbprint.size());

    EXPECT_EQ(kNote, InstallWithWizard(BuiltSetupPath(), folder));
    for (const char* name : { "Morvane.dll", "MorvaneRun.exe" }) {
        EXPECT_EQ(ReadWholeFile(BinFolder() + "\\" + name), ReadWholeFile(folder + "\\Modern\\" + name)) << name;
        EXPECT_EQ(ReadWholeFile(BinFolder() + "\\" + name), ReadWholeFile(folder + "\\" + name)) << name;
    }
    EXPECT_TRUE(IsTrusted(thumbprint));
    ExpectActiveSetupEntry(AddScript(wideFolder));
    // The user at the desk gets the package through the desktop's shell, as that user.
    std::vector<RecordedRun> runs = WaitForRuns(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("explorer.exe", runs[0].parent);
    const std::string& line = runs[0].commandLine;
    EXPECT_EQ("\"" + PowerShellPath() + "\" " + kArguments, line.substr(0, line.rfind(' ') + 1));
    EXPECT_EQ(AddScript(wideFolder), DecodedScript(runs[0].commandLine));

    // Wine has no package query.
    int exitCode = -1;
    std::string report = CheckReport(folder + "\\Setup.exe", exitCode);
    EXPECT_NE(std::string::npos,
              report.find("Entry point loaded.\r\nCould not query the Windows 11 menu package.\r\n----\r\n"))
        << report;

    // An upgrade removes the package for every account, elevated, and adds it again.
    DeleteFileA(kRunsLog);
    EXPECT_EQ(kNote, InstallWithWizard(BuiltSetupPath(), folder));
    runs = WaitForRuns(2);
    ASSERT_EQ(2u, runs.size());
    EXPECT_EQ("setup.exe", runs[0].parent);
    EXPECT_EQ(kRemoveScript, DecodedScript(runs[0].commandLine));
    EXPECT_EQ("explorer.exe", runs[1].parent);
    EXPECT_EQ(AddScript(wideFolder), DecodedScript(runs[1].commandLine));
    // The reinstallation took the package from every account: Active Setup gives it back to each.
    ExpectActiveSetupEntry(AddScript(wideFolder), "1,93,0,1");
    EXPECT_TRUE(IsTrusted(thumbprint));

    DeleteFileA(kRunsLog);
    {
        CSetupProcess setup(BuiltSetupPath(), "/u");
        AnswerMessageBox(setup, IDYES);
        FoundWindow done = AnswerMessageBox(setup, IDOK);
        EXPECT_EQ("Morvane files removed successfully.", done.text);
        EXPECT_EQ(0, setup.WaitForExit());
    }
    runs = RecordedRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("setup.exe", runs[0].parent);
    EXPECT_EQ(kRemoveScript, DecodedScript(runs[0].commandLine));
    EXPECT_FALSE(FileExists(folder + "\\Modern"));
    for (const char* name : { "Morvane.dll", "Setup.exe", "MorvaneRun.exe", "Morvane.msix", "Morvane.cer" })
        EXPECT_FALSE(FileExists(folder + "\\" + name)) << name;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ToWide(kActiveSetupKey)));
    EXPECT_FALSE(IsTrusted(thumbprint));
}

TEST_F(Windows11Test, AnUpgradeMovesAsideTheModernModuleExplorerHoldsAndReplacesIt)
{
    CPendingRenames pending;
    CInstallFolder folder("Held");
    InstallWithWizard(BuiltSetupPath(), folder.Path());
    const std::string held = folder / "Modern\\Morvane.dll";
    {
        // This process plays Explorer, which holds the module of the package loaded.
        CLibrary module(LoadLibraryA(held.c_str()));
        ASSERT_TRUE(module.IsValid());
        EXPECT_EQ(kNote, InstallWithWizard(BuiltSetupPath(), folder.Path()));
    }
    EXPECT_EQ(ReadWholeFile(Narrow(BuiltModulePath())), ReadWholeFile(held));
    EXPECT_TRUE(FileExists(held + ".$$$"));
    auto added = pending.Added();
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(L"\\??\\" + ToWide((held + ".$$$").c_str()), added[0].first);
    // Two additions through the desktop's shell and a removal: none may come late into the next test.
    WaitForRuns(3);
}

TEST_F(Windows11Test, WithoutThePackageTheInstallationSaysSoAndPromisesNoMenu)
{
    CTempDir media(L"media");
    for (const char* name : { "Setup.exe", "Morvane.dll", "MorvaneRun.exe" })
        CopyInto(BinFolder() + "\\" + name, Narrow(media / ToWide(name).c_str()));
    CInstallFolder folder("NoPackage");
    CSetupProcess setup(Narrow(media / L"Setup.exe"), "");
    HWND sheet = WizardToReadyPage(setup, folder.Path(), true);
    ASSERT_TRUE(sheet);
    PressWizard(sheet, PSBTN_FINISH);
    FoundWindow failure = AnswerMessageBox(setup, IDOK);
    EXPECT_EQ("Could not add Morvane to the Windows 11 context menu. Morvane is still available in the full "
              "context menu, under \"Show more options\".",
              failure.text);
    HWND complete = WaitForCompletionPage(sheet);
    ASSERT_TRUE(complete);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(complete, kModernNoteId)));
    PressWizard(sheet, PSBTN_FINISH);
    EXPECT_EQ(0, setup.WaitForExit());
    EXPECT_TRUE(RecordedRuns().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ToWide(kActiveSetupKey)));
}

TEST_F(Windows11Test, UnelevatedTheInstallerRegistersThePackageItself)
{
    CInstallFolder folder("Unelevated");
    EXPECT_EQ(kNote, InstallWithWizard(BuiltSetupPath(), folder.Path(), true));
    // Waited for, so recorded before the installer ended.
    std::vector<RecordedRun> runs = RecordedRuns();
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("setup.exe", runs[0].parent);
    EXPECT_EQ(AddScript(ToWide(folder.Path().c_str())), DecodedScript(runs[0].commandLine));
    ExpectActiveSetupEntry(AddScript(ToWide(folder.Path().c_str())));
}

// The installer's own steps in this process, with the program runs and the desktop's shell recorded.
namespace {

std::vector<ProgramRun> g_runs;
bool g_runSucceeds = true;
std::vector<std::pair<std::string, std::string>> g_starts;
bool g_startSucceeds = true;

bool RecordRun(const ProgramRun& run)
{
    g_runs.push_back(run);
    return g_runSucceeds;
}

bool RecordStart(LPCSTR program, LPCSTR arguments)
{
    g_starts.emplace_back(program, arguments);
    return g_startSucceeds;
}

class Windows11StepsTest : public Windows11Test {
protected:
    void SetUp() override
    {
        Windows11Test::SetUp();
        g_runs.clear();
        g_starts.clear();
        g_runSucceeds = g_startSucceeds = true;
        m_previousRunner = SetProgramRunner(&RecordRun);
        m_previousStarter = SetDesktopShellStarter(&RecordStart);
    }
    void TearDown() override
    {
        SetDesktopShellStarter(m_previousStarter);
        SetProgramRunner(m_previousRunner);
        Windows11Test::TearDown();
    }

private:
    ProgramRunner m_previousRunner = nullptr;
    DesktopShellStarter m_previousStarter = nullptr;
};

void RunAllSteps(const std::string& destination)
{
    UINT step = 0;
    while (RunInstallStep(destination.c_str(), step)) {
    }
}

void WriteFileBytes(const std::string& path, const BYTE* bytes, DWORD size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes, size, &written, nullptr);
    CloseHandle(file);
}

}

TEST_F(Windows11StepsTest, ScriptsQuoteTheFolderAndRemovalTakesBackExactlyItsCertificate)
{
    // A folder name with an apostrophe and a typographic quote (0x92 in the 8-bit code page).
    CInstallFolder destination("It's \x92quoted\x92");
    CreateFolderTree(destination.Path().c_str());
    const std::string thumbprint = ThumbprintOfFile(BinFolder() + "\\Morvane.cer");

    RunAllSteps(destination.Path());

    EXPECT_EQ(ReadWholeFile(BinFolder() + "\\Morvane.msix"), ReadWholeFile(destination / "Morvane.msix"));
    EXPECT_EQ(ReadWholeFile(BinFolder() + "\\Morvane.cer"), ReadWholeFile(destination / "Morvane.cer"));
    EXPECT_TRUE(IsTrusted(thumbprint));
    // Wine runs every program elevated: the registration goes through the desktop's shell.
    EXPECT_TRUE(g_runs.empty());
    ASSERT_EQ(1u, g_starts.size());
    EXPECT_EQ(PowerShellPath(), g_starts[0].first);
    EXPECT_EQ(kArguments, g_starts[0].second.substr(0, g_starts[0].second.rfind(' ') + 1));
    std::wstring folder = ToWide(destination.Path().c_str());
    ASSERT_EQ(1252u, GetACP()) << "the typographic quote is 0x92 in this code page";
    std::wstring quoted = folder.substr(0, folder.find(L"It'")) + L"It''s \u2019\u2019quoted\u2019\u2019" +
                          folder.substr(folder.find(L"quoted") + 7);
    EXPECT_EQ(AddScript(quoted), DecodedScript(g_starts[0].second));
    ExpectActiveSetupEntry(AddScript(quoted));

    // Another certificate in the store stays.
    BYTE name[64];
    CERT_NAME_BLOB subject = { sizeof(name), name };
    ASSERT_TRUE(CertStrToNameA(X509_ASN_ENCODING, "CN=Other", CERT_X500_NAME_STR, nullptr, name, &subject.cbData,
                               nullptr));
    PCCERT_CONTEXT other = CertCreateSelfSignCertificate(0, &subject, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(other);
    const std::string otherFile = destination / "Other.cer";
    WriteFileBytes(otherFile, other->pbCertEncoded, other->cbCertEncoded);
    CertFreeCertificateContext(other);
    ASSERT_EQ(CertificateOutcome::Done, TrustCertificate(otherFile.c_str()));

    EXPECT_TRUE(RemoveFromModernMenu((destination.Path() + "\\").c_str()));
    ASSERT_EQ(1u, g_runs.size());
    EXPECT_EQ(PowerShellPath(), g_runs[0].application.GetString());
    EXPECT_EQ(kRemoveScript, DecodedScript(g_runs[0].commandLine.GetString()));
    EXPECT_FALSE(g_runs[0].inheritHandles);
    EXPECT_EQ(DWORD(CREATE_NO_WINDOW), g_runs[0].creationFlags);
    EXPECT_GT(g_runs[0].timeoutMs, 0u);
    EXPECT_LT(g_runs[0].timeoutMs, INFINITE);
    EXPECT_FALSE(IsTrusted(thumbprint));
    EXPECT_TRUE(IsTrusted(ThumbprintOfFile(otherFile)));
    DistrustCertificate(otherFile.c_str());
}

namespace {

// Sets a value of Windows setup's state key while it lives.
class CSetupState {
public:
    explicit CSetupState(const char* value) : m_value(value)
    {
        if (m_value) {
            DWORD set = 1;
            SHSetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\Setup", m_value, REG_DWORD, &set, sizeof(set));
        }
    }
    ~CSetupState()
    {
        if (m_value)
            SHDeleteValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\Setup", m_value);
    }

private:
    const char* m_value;
};

}

TEST_F(Windows11StepsTest, WithoutAUserAtADesktopEveryAccountGetsThePackageAtItsSignIn)
{
    CInstallFolder destination("Outcomes");
    CreateFolderTree(destination.Path().c_str());
    const std::string folder = destination.Path() + "\\";
    struct Case {
        const char* name;
        bool withPackage;
        bool shellAnswers;
        const char* setupState;
        ModernOutcome outcome;
        size_t starts;
    } cases[] = {
        { "the user at the desk", true, true, nullptr, ModernOutcome::Started, 1 },
        { "no package", false, true, nullptr, ModernOutcome::Failed, 0 },
        { "the desktop's shell does not answer", true, false, nullptr, ModernOutcome::Deferred, 1 },
        { "Windows setup is still running", true, true, "SystemSetupInProgress", ModernOutcome::AtSignIn, 0 },
        { "the first sign-in's setup is still running", true, true, "OOBEInProgress", ModernOutcome::AtSignIn, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA((destination / "Morvane.msix").c_str());
        if (c.withPackage)
            CopyInto(BinFolder() + "\\Morvane.msix", destination / "Morvane.msix");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kActiveSetupKey);
        g_starts.clear();
        g_startSucceeds = c.shellAnswers;
        CSetupState state(c.setupState);
        EXPECT_EQ(c.outcome, AddToModernMenu(folder.c_str()));
        EXPECT_EQ(c.starts, g_starts.size());
        EXPECT_EQ(c.withPackage, KeyExists(HKEY_LOCAL_MACHINE, ToWide(kActiveSetupKey)));
    }
    EXPECT_TRUE(g_runs.empty());
    g_runSucceeds = false;
    EXPECT_FALSE(RemoveFromModernMenu(folder.c_str()));
}

namespace {
LONG g_queryResult = ERROR_SUCCESS;
UINT32 g_queryCount = 0;
std::wstring g_queriedFamily;
LONG WINAPI FakePackageQuery(PCWSTR family, UINT32* count, PWSTR*, UINT32*, WCHAR*)
{
    g_queriedFamily = family;
    *count = g_queryCount;
    return g_queryResult;
}
}

TEST_F(Windows11Test, TheCheckReportsWhetherThePackageIsRegisteredForTheUser)
{
    CTempDir dir(L"check");
    const std::string module = Narrow(dir.Path()) + "\\Morvane.dll";
    CopyInto(Narrow(BuiltModulePath()), module);
    ASSERT_TRUE(RegisterModuleAt(module));
    const struct {
        LONG result;
        UINT32 count;
        const char* line;
    } cases[] = {
        { ERROR_INSUFFICIENT_BUFFER, 1, "Windows 11 menu package registered for this user.\r\n" },
        { ERROR_SUCCESS, 0, "Windows 11 menu package not registered for this user.\r\n" },
        { ERROR_INVALID_PARAMETER, 0, "Could not query the Windows 11 menu package.\r\n" },
    };
    PackagesByFamily previous = SetPackagesByFamily(&FakePackageQuery);
    for (const auto& c : cases) {
        g_queryResult = c.result;
        g_queryCount = c.count;
        CString report;
        EXPECT_TRUE(BuildCheckReport(report));
        EXPECT_NE(std::string::npos, std::string(report).find(std::string("Entry point loaded.\r\n") + c.line +
                                                              "----\r\nMorvane files are properly installed."))
            << report.GetString();
    }
    SetPackagesByFamily(previous);
    EXPECT_EQ(L"" MORVANE_PACKAGE_FAMILY, g_queriedFamily);
    EXPECT_EQ(26u, g_queriedFamily.size()) << "the identity name, an underscore and the publisher's 13 characters";
}

TEST(ActiveSetupVersion, FollowsTheProductAndCountsItsInstallations)
{
    const char* const cases[][2] = {
        { "", "1,93,0,0" },           { "1,93,0,0", "1,93,0,1" }, { "1,93,0,41", "1,93,0,42" },
        { "1,92,0,7", "1,93,0,0" },   { "1,93,0,", "1,93,0,0" },  { "1,93,0,x", "1,93,0,0" },
        { "1,930,0,1", "1,93,0,0" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c[1], ActiveSetupVersion(c[0])) << c[0];
}
