// Cost of the undo journal on the real registry (Wine: every call a server round trip): paste and
// delete of a 2,000-key branch and an import of the 20,000-key benchmark file, each without the
// journal, with it, and their undo; times, ratios and registry calls.
#include "bench/BenchTree.h"
#include "journal/JournalCommand.h"
#include "journal/RecordingRegistryBackend.h"
#include "regfile/RegImporter.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\Journal";

std::wstring TempPath(const wchar_t* name)
{
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

// Runs work under a journal entry (or plainly) and returns its time; calls counted on the real back end.
double Timed(CUndoJournal* journal, const wchar_t* name, const std::function<void(CJournalCommand&)>& work,
             unsigned long& calls)
{
    Win32Registry().ResetCounts();
    double start = NowSeconds();
    {
        CJournalCommand command(journal, name);
        work(command);
    }
    double seconds = NowSeconds() - start;
    calls = Win32Registry().TotalCalls();
    return seconds;
}

void Report(const char* what, double plain, unsigned long plainCalls, double journaled,
            unsigned long journaledCalls, double undo, unsigned long undoCalls)
{
    printf(
        "%s: without journal %.2f s (%lu calls), with journal %.2f s (%lu calls) = %.2f x; undo %.2f s (%lu "
        "calls) = %.2f x the command\n",
        what, plain, plainCalls, journaled, journaledCalls, journaled / plain, undo, undoCalls, undo / plain);
}

double TimedUndo(CUndoJournal& journal, unsigned long& calls)
{
    Win32Registry().ResetCounts();
    double start = NowSeconds();
    journal.Undo();
    double seconds = NowSeconds() - start;
    calls = Win32Registry().TotalCalls();
    return seconds;
}

void Branch(CUndoJournal& journal)
{
    std::wstring base(kBase), source = base + L"\\src", target = base + L"\\dst";
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    SBenchTreeSize size;
    size.top = 2; // 2 x 10 x 100 = 2,000 keys
    BuildBenchTree(HKEY_CURRENT_USER, source.c_str(), size);
    auto paste = [&](CJournalCommand&) {
        CopyKeyTree(HKEY_CURRENT_USER, source.c_str(), HKEY_CURRENT_USER, target.c_str());
    };
    auto remove = [&](CJournalCommand& command) {
        command.CaptureBranch(HKEY_CURRENT_USER, target.c_str());
        command.DeleteBranch(HKEY_CURRENT_USER, target.c_str());
    };
    // Best of three rounds, plain and journaled alternating: the machine is shared.
    unsigned long c1, c2, c3, c4, c5, c6;
    double plainPaste = 1e9, plainDelete = 1e9, journalPaste = 1e9, undoPaste = 1e9, journalDelete = 1e9,
           undoDelete = 1e9;
    for (int round = 0; round < 3; ++round) {
        plainPaste = std::min(plainPaste, Timed(nullptr, L"Paste", paste, c1));
        plainDelete = std::min(plainDelete, Timed(nullptr, L"Delete Key", remove, c2));
        journalPaste = std::min(journalPaste, Timed(&journal, L"Paste", paste, c3));
        undoPaste = std::min(undoPaste, TimedUndo(journal, c4));
        Timed(nullptr, L"Paste", paste, c1);
        journalDelete = std::min(journalDelete, Timed(&journal, L"Delete Key", remove, c5));
        undoDelete = std::min(undoDelete, TimedUndo(journal, c6));
        Timed(nullptr, L"Delete Key", remove, c2);
    }
    Report("paste of a 2,000-key branch", plainPaste, c1, journalPaste, c3, undoPaste, c4);
    Report("delete of a 2,000-key branch", plainDelete, c2, journalDelete, c5, undoDelete, c6);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
}

bool ExportWithRegedit(const std::wstring& file, const std::wstring& key)
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring line =
        L"\"" + std::wstring(windows) + L"\\regedit.exe\" /e \"" + file + L"\" \"" + key + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void Import(CUndoJournal& journal)
{
    std::wstring base = std::wstring(kBase) + L"\\Import", file = TempPath(L"hivelet-journal-bench.reg");
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    BuildBenchTree(HKEY_CURRENT_USER, base.c_str());
    if (!ExportWithRegedit(file, L"HKEY_CURRENT_USER\\" + base)) {
        printf("regedit did not start\n");
        return;
    }
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    auto import = [&](CJournalCommand&) {
        CRegImporter importer;
        CString error;
        importer.Import(file.c_str(), error);
    };
    unsigned long c1, c2, c3;
    double plain = 1e9, journaled = 1e9, undo = 1e9;
    for (int round = 0; round < 3; ++round) {
        plain = std::min(plain, Timed(nullptr, L"Import", import, c1));
        DeleteKeyTree(HKEY_CURRENT_USER, kBase);
        journaled = std::min(journaled, Timed(&journal, L"Import", import, c2));
        undo = std::min(undo, TimedUndo(journal, c3));
    }
    Report("import of the 20,000-key file into new keys", plain, c1, journaled, c2, undo, c3);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    DeleteFileW(file.c_str());
}

// The journal's own work, without the real registry's round trips: the same import on the
// in-memory registry, plain and journaled.
void MemoryImport()
{
    std::wstring base = std::wstring(kBase) + L"\\Import", file = TempPath(L"hivelet-journal-bench.reg");
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    BuildBenchTree(HKEY_CURRENT_USER, base.c_str());
    bool exported = ExportWithRegedit(file, L"HKEY_CURRENT_USER\\" + base);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    if (!exported)
        return;
    CMemoryRegistryBackend memory;
    std::wstring path = TempPath(L"hivelet-journal-bench-memory.journal");
    DeleteFileW(path.c_str());
    {
        CUndoJournal journal(memory);
        journal.Open(path);
        CRecordingRegistryBackend recorder(memory, journal);
        CScopedRegistryBackend scope(recorder);
        double best[2] = {1e9, 1e9};
        for (int round = 0; round < 3; ++round) {
            for (int journaled = 0; journaled < 2; ++journaled) {
                double start = NowSeconds();
                {
                    CJournalCommand command(journaled ? &journal : nullptr, L"Import");
                    CRegImporter importer;
                    CString error;
                    importer.Import(file.c_str(), error);
                }
                best[journaled] = std::min(best[journaled], NowSeconds() - start);
                DeleteKeyTree(HKEY_CURRENT_USER, kBase);
            }
        }
        printf("the same import on the in-memory registry: without journal %.2f s, with journal %.2f s (the "
               "journal's own work %.2f s)\n",
               best[0], best[1], best[1] - best[0]);
    }
    DeleteFileW(path.c_str());
    DeleteFileW(file.c_str());
}

} // namespace

int main()
{
    std::wstring path = TempPath(L"hivelet-journal-bench.journal");
    DeleteFileW(path.c_str());
    CUndoJournal journal(Win32Registry());
    journal.Open(path);
    CRecordingRegistryBackend recorder(Win32Registry(), journal);
    CScopedRegistryBackend scope(recorder);
    Branch(journal);
    Import(journal);
    DeleteFileW(path.c_str());
    MemoryImport();
    return 0;
}
