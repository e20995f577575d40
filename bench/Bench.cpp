// bench.exe: what a right-click on files and a quick-extension rename cost in the real module,
// as ratios against the bare platform calls that the same work cannot avoid, both measured in
// this run. Changes the settings key and file types of the prefix it runs in (tools/bench.sh
// gives it a prefix of its own) and removes what it added.
#include "Fixture.h"
#include "Goals.h"
#include "MenuBench.h"
#include "RenameBench.h"
#include "Settings.h"
#include "Timing.h"
#include "TypePageBench.h"
#include <functional>
#include <stdio.h>
#include <stdlib.h>

namespace {

const double kBatchSeconds = 0.05;
const int kFewFiles = 1000;
const int kManyFiles = 10000;
const int kRenameFiles = 1000;
const int kRegisteredTypes = 600;
const DWORD kModuleGoalBytes = 120 * 1024;

struct Settings {
    int runs = 15;
    int renameRuns = 5;
    std::wstring only;  // one part: "full", "modern", "simple", "rename", "type" or "size"
    bool Wants(const wchar_t* part) const { return only.empty() || only == part; }
};

std::wstring Join(const std::vector<std::wstring>& parts, wchar_t separator)
{
    std::wstring text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? std::wstring(1, separator) : std::wstring()) + parts[i];
    return text;
}

void PrintComparison(const wchar_t* what, const Comparison& figures, Figure figure)
{
    wprintf(L"%-44ls %10.1f us  floor %10.1f us  ratio %5.2f  (goal <= %.2f)\n", what, figures.real * 1e6,
            figures.floor * 1e6, figures.Ratio(), GoalOf(figure).most);
}

void NoteEmptyMenu(const MenuShape& shape)
{
    if (shape.items.empty())
        wprintf(L"  note: the module added no item, so this figure says nothing yet\n");
}

void FullMenuOnDocument(const CMorvaneModule& module, CBenchFixture& fixture, const std::vector<std::wstring>& quickExts,
                        const Settings& settings)
{
    std::wstring document = fixture.MakeCompoundDocument(L"Quarterly Report.doc");
    CComPtr<IDataObject> selection = ShellDataObject({ document });
    CFolderIdList folder(fixture.Folder());
    if (!selection) {
        wprintf(L"full menu: the shell gave no data object\n");
        return;
    }
    MenuShape shape;
    module.RightClick(selection, folder.Get(), &shape);

    FullMenuFloor floor;
    floor.selection = selection;
    floor.path = document;
    floor.typeLookups.push_back(L".doc");
    for (size_t i = 0; i < quickExts.size() && i < 10; ++i)
        floor.typeLookups.push_back(L"." + quickExts[i]);
    floor.shape = &shape;
    auto real = [&] { module.RightClick(selection, folder.Get()); };
    int iterations = IterationsFor(real, floor, kBatchSeconds);
    Comparison figures = Compare(real, floor, settings.runs, iterations);
    wprintf(L"full menu on one compound document (%d items, %d popups, %d type lookups), %d runs of %d:\n",
            shape.ItemCount(), shape.PopupCount(), int(floor.typeLookups.size()), settings.runs, iterations);
    PrintComparison(L"  Initialize + QueryContextMenu + Release", figures, Figure::FullMenu);
    // Each part is timed alternately with the whole floor and shown as its share of it, so that a
    // change in the machine's load between the measurements does not skew the parts.
    for (int part = 0; part < FullMenuFloor::kPartCount; ++part) {
        auto one = [&] { floor.RunPart(FullMenuFloor::Part(part)); };
        double share = Compare(one, floor, settings.runs, iterations).Ratio();
        wprintf(L"    floor part: %-30ls %8.1f us  (%4.1f%%)\n", FullMenuFloor::PartName(FullMenuFloor::Part(part)),
                share * figures.floor * 1e6, share * 100);
    }
    NoteEmptyMenu(shape);
}

// The Windows 11 menu of the same document against the classic right-click, in the same run.
void CommandTreeOnDocument(const CMorvaneModule& module, CBenchFixture& fixture, const Settings& settings)
{
    std::wstring document = fixture.MakeCompoundDocument(L"Quarterly Report.doc");
    CComPtr<IDataObject> selection = ShellDataObject({ document });
    CFolderIdList folder(fixture.Folder());
    PIDLIST_ABSOLUTE item = ILCreateFromPathW(document.c_str());
    CComPtr<IShellItemArray> items;
    if (item)
        SHCreateShellItemArrayFromIDLists(1, const_cast<PCIDLIST_ABSOLUTE*>(&item), &items);
    ILFree(item);
    int commands = module.WalkCommandTree(items);
    if (!selection || !items || commands == 0) {
        wprintf(L"command tree: no selection or no commands\n");
        return;
    }
    auto real = [&] { module.WalkCommandTree(items); };
    auto classic = [&] { module.RightClick(selection, folder.Get()); };
    int iterations = IterationsFor(real, classic, kBatchSeconds);
    Comparison figures = Compare(real, classic, settings.runs, iterations);
    wprintf(L"Windows 11 command tree on the compound document (%d commands; floor: the classic right-click),"
            L" %d runs of %d:\n", commands, settings.runs, iterations);
    PrintComparison(L"  slow GetState + full enumeration", figures, Figure::CommandTree);
}

struct SimpleFigures {
    Comparison menu;
    double onePass = 0;  // seconds for the paths read in one pass over the block
    MenuShape shape;
};

SimpleFigures SimpleMenuOn(const CMorvaneModule& module, const std::wstring& folderPath, const Settings& settings)
{
    SimpleFigures figures;
    CComPtr<IDataObject> selection = CBenchFixture::FolderSelection(folderPath);
    CFolderIdList folder(folderPath);
    if (!selection)
        return figures;
    module.RightClick(selection, folder.Get(), &figures.shape);
    SimpleMenuFloor floor;
    floor.selection = selection;
    floor.shape = &figures.shape;
    auto real = [&] { module.RightClick(selection, folder.Get()); };
    figures.menu = Compare(real, floor, settings.runs, IterationsFor(real, floor, kBatchSeconds));
    OnePassPaths onePass;
    onePass.selection = selection;
    figures.onePass = Compare([] {}, onePass, settings.runs, IterationsFor(onePass, onePass, kBatchSeconds)).floor;
    return figures;
}

void SimpleMenuOnManyFiles(const CMorvaneModule& module, CBenchFixture& fixture, const Settings& settings)
{
    fixture.MakeFiles(L"few", L"f", kFewFiles, L".txt");
    fixture.MakeFiles(L"many", L"f", kManyFiles, L".txt");
    SimpleFigures few = SimpleMenuOn(module, fixture.Folder() + L"\\few", settings);
    SimpleFigures many = SimpleMenuOn(module, fixture.Folder() + L"\\many", settings);
    wprintf(L"simple menu on many selected files (floor: every path by DragQueryFileW from the same data object),"
            L" %d runs:\n", settings.runs);
    wchar_t label[64];
    wsprintfW(label, L"  %d files", kFewFiles);
    PrintComparison(label, few.menu, Figure::SimpleMenu);
    wsprintfW(label, L"  %d files", kManyFiles);
    PrintComparison(label, many.menu, Figure::SimpleMenu);
    double growth = few.menu.real > 0 ? many.menu.real / few.menu.real : 0;
    double floorGrowth = few.menu.floor > 0 ? many.menu.floor / few.menu.floor : 0;
    double onePassGrowth = few.onePass > 0 ? many.onePass / few.onePass : 0;
    wprintf(L"  for %d times the files: module %.1f times the time, DragQueryFileW floor %.1f times,"
            L" one pass over the block %.1f times\n", kManyFiles / kFewFiles, growth, floorGrowth, onePassGrowth);
    wprintf(L"  per file at %d / %d: module %.3f / %.3f us, one pass %.3f / %.3f us\n", kFewFiles, kManyFiles,
            few.menu.real * 1e6 / kFewFiles, many.menu.real * 1e6 / kManyFiles, few.onePass * 1e6 / kFewFiles,
            many.onePass * 1e6 / kManyFiles);
    NoteEmptyMenu(many.shape);
}

void RenameManyFiles(CBenchFixture& fixture, const Settings& settings)
{
    CRenameSet files(fixture.MakeFiles(L"rename", L"r", kRenameFiles, L".txt"), L"txt", L"doc");
    CQuickExtensionRename command;
    wprintf(L"rename of %d files by one quick-extension command (floor: SHFileOperationW FO_RENAME per file),"
            L" %d runs:\n", kRenameFiles, settings.renameRuns);
    auto floor = [&] { RenameBare(files); };
    if (!CQuickExtensionRename::Available()) {
        Comparison figures = Compare([] {}, floor, settings.renameRuns, 1);
        wprintf(L"  module: not measured yet (the quick-extension command has not landed)  floor %10.1f ms\n",
                figures.floor * 1e3);
    } else {
        auto real = [&] { command.Run(files); };
        auto prepare = [&] { command.Prepare(files); };
        Comparison figures = Compare(real, floor, settings.renameRuns, 1, prepare);
        wprintf(L"%-44ls %10.1f ms  floor %10.1f ms  ratio %5.2f  (goal <= %.2f)\n", L"  InvokeCommand's rename",
                figures.real * 1e3, figures.floor * 1e3, figures.Ratio(), GoalOf(Figure::Rename).most);
    }
    if (!files.Consistent())
        wprintf(L"  warning: not every file carries .%ls after the runs: a rename failed\n", files.Current().c_str());
}

// Icons off and on: the list of registered types is built anew for each opening, as for every
// new handler.
void TypePageOpenAndClose(CBenchFixture& fixture, const std::wstring& quickExts, const Settings& settings)
{
    // A fresh prefix registers a few dozen extensions; a Windows system some hundreds.
    for (int i = 0; i < kRegisteredTypes; ++i) {
        wchar_t number[8];
        wsprintfW(number, L"%04d", i);
        fixture.EnsureFileType(std::wstring(L".mvb") + number, std::wstring(L"Morvane.BenchType") + number,
                               std::wstring(L"Bench Type ") + number);
    }
    CComPtr<IDataObject> selection = ShellDataObject(fixture.MakeFiles(L"type", L"t", 1, L".txt"));
    if (!selection) {
        wprintf(L"Type page: the shell gave no data object\n");
        return;
    }
    wprintf(L"Type page opened on one file and closed with Cancel (floor: HKEY_CLASSES_ROOT walked and"
            L" SHGetFileInfoW for each of its %d extensions, then a bare property sheet with one empty page"
            L" opened and cancelled the same way), %d runs:\n", TypeListFloor::CountExtensions(), settings.runs);
    CBareSheetOpening bareSheet;
    for (bool icons : { false, true }) {
        fixture.WriteSettings(icons ? DefaultOptions | OptTypeIcons : DefaultOptions & ~OptTypeIcons, quickExts);
        CSheetOpening opening(selection, InfoPage::Type);
        const wchar_t* label = icons ? L"  ShowInfoSheet, icons on" : L"  ShowInfoSheet, icons off";
        if (!opening.Run() || !bareSheet.Run()) {
            wprintf(L"%-44ls no sheet came up\n", label);
            continue;
        }
        TypeListFloor typeList;
        typeList.icons = icons;
        auto floor = [&] {
            typeList();
            bareSheet.Run();
        };
        auto real = [&] { opening.Run(); };
        int iterations = IterationsFor(real, floor, kBatchSeconds);
        Comparison figures = Compare(real, floor, settings.runs, iterations, [&] { opening.Prepare(iterations); });
        PrintComparison(label, figures, Figure::TypePage);
        // Each part of the floor as its share of it, timed alternately with the whole floor as for
        // the full menu.
        const struct {
            const wchar_t* name;
            std::function<void()> run;
        } parts[] = { { L"the types' walk", typeList }, { L"the bare sheet", [&] { bareSheet.Run(); } } };
        for (const auto& part : parts) {
            double share = Compare(part.run, floor, settings.runs, iterations).Ratio();
            wprintf(L"    floor part: %-30ls %8.1f us  (%4.1f%%)\n", part.name, share * figures.floor * 1e6, share * 100);
        }
    }
    fixture.WriteSettings(DefaultOptions, quickExts);
}

void ModuleSize()
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(BuiltModulePath().c_str(), GetFileExInfoStandard, &data)) {
        wprintf(L"Morvane.dll: not found\n");
        return;
    }
    DWORD bytes = data.nFileSizeLow;
    wprintf(L"Morvane.dll as built: %lu bytes (%.1f KB), %.2f of %lu KB  (goal <= %.2f)\n", bytes, bytes / 1024.0,
            double(bytes) / kModuleGoalBytes, kModuleGoalBytes / 1024, GoalOf(Figure::ModuleSize).most);
}

bool ParseArguments(int argc, wchar_t** argv, Settings& settings)
{
    for (int i = 1; i < argc; ++i) {
        if (!lstrcmpW(argv[i], L"--runs") && i + 1 < argc) {
            settings.runs = _wtoi(argv[++i]);
            settings.renameRuns = settings.runs < 5 ? settings.runs : 5;
        } else if (!lstrcmpW(argv[i], L"--only") && i + 1 < argc) {
            settings.only = argv[++i];
        } else {
            return false;
        }
    }
    return settings.runs > 0;
}

}

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    Settings settings;
    if (!ParseArguments(argc, argv, settings)) {
        fwprintf(stderr, L"usage: bench [--runs N] [--only full|modern|simple|rename|type|size]\n"
                          L"  each figure is the median of N runs (default 15)\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    int result = 0;
    {
        CMorvaneModule module;
        if (!module.Load(BuiltModulePath())) {
            fwprintf(stderr, L"bench: cannot load %ls or get its class object\n", BuiltModulePath().c_str());
            result = 1;
        } else {
            CBenchFixture fixture;
            fixture.EnsureFileType(L".doc", L"Morvane.BenchDocument", L"Bench Document");
            fixture.EnsureFileType(L".txt", L"txtfile", L"Text Document");
            fixture.EnsureFileType(L".htm", L"htmlfile", L"HTML Document");
            fixture.EnsureFileType(L".xls", L"Morvane.BenchSheet", L"Bench Spreadsheet");
            fixture.EnsureFileType(L".rtf", L"Morvane.BenchRichText", L"Rich Text Document");
            const std::vector<std::wstring> quickExts = { L"txt", L"htm", L"xls", L"rtf" };
            fixture.WriteSettings(DefaultOptions, Join(quickExts, L';'));

            wprintf(L"Morvane benchmark: medians, each ratio against its floor measured in this run\n");
            PrintGoals();
            if (settings.Wants(L"full"))
                FullMenuOnDocument(module, fixture, quickExts, settings);
            if (settings.Wants(L"modern"))
                CommandTreeOnDocument(module, fixture, settings);
            if (settings.Wants(L"simple"))
                SimpleMenuOnManyFiles(module, fixture, settings);
            if (settings.Wants(L"rename"))
                RenameManyFiles(fixture, settings);
            if (settings.Wants(L"type"))
                TypePageOpenAndClose(fixture, Join(quickExts, L';'), settings);
            if (settings.Wants(L"size"))
                ModuleSize();
        }
    }
    OleUninitialize();
    return result;
}
