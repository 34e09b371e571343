// Import of the benchmark branch (20,000 keys, 80,000 values) from a Unicode-form file:
// the importer against the registry, Wine's regedit /s on the same file in the same run, and
// the parser's throughput against the in-memory registry.
#include "bench/BenchTree.h"
#include "regfile/RegImporter.h"
#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"

#include <cstdio>

namespace {

const wchar_t kBase[] = L"Software\\HiveletBench\\Import";

CString TempFile()
{
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return CString(directory) + L"hivelet-import-bench.reg";
}

bool RunAndWait(const CString& commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    CString line = commandLine;
    wchar_t* buffer = line.GetBuffer(line.GetLength() + 1);
    BOOL started =
        CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    line.ReleaseBuffer();
    if (!started)
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

DWORD FileSize(const CString& path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size;
}

// Accepts every call and keeps nothing: what the parser costs by itself.
class CNullBackend : public IRegistryBackend
{
protected:
    LONG DoOpenKey(HKEY, const wchar_t*, HKEY* result) override { return Handle(result); }
    LONG DoCreateKey(HKEY, const wchar_t*, const wchar_t*, HKEY* result, DWORD* disposition) override
    {
        if (disposition)
            *disposition = REG_CREATED_NEW_KEY;
        return Handle(result);
    }
    LONG DoCloseKey(HKEY) override { return ERROR_SUCCESS; }
    LONG DoFlushKey(HKEY) override { return ERROR_SUCCESS; }
    LONG DoQueryValue(HKEY, const wchar_t*, DWORD*, BYTE*, DWORD*) override { return ERROR_FILE_NOT_FOUND; }
    LONG DoSetValue(HKEY, const wchar_t*, DWORD, const BYTE*, DWORD) override { return ERROR_SUCCESS; }
    LONG DoDeleteValue(HKEY, const wchar_t*) override { return ERROR_SUCCESS; }
    LONG DoDeleteKey(HKEY, const wchar_t*) override { return ERROR_SUCCESS; }
    LONG DoEnumKey(HKEY, DWORD, wchar_t*, DWORD*) override { return ERROR_NO_MORE_ITEMS; }
    LONG DoEnumValue(HKEY, DWORD, wchar_t*, DWORD*, DWORD*, BYTE*, DWORD*) override
    {
        return ERROR_NO_MORE_ITEMS;
    }
    LONG DoQueryInfoKey(HKEY, wchar_t*, DWORD* classLength, SKeyInfo& info) override
    {
        if (classLength)
            *classLength = 0;
        info = SKeyInfo();
        return ERROR_SUCCESS;
    }

private:
    LONG Handle(HKEY* result)
    {
        *result = reinterpret_cast<HKEY>(m_next += 4);
        return ERROR_SUCCESS;
    }
    UINT_PTR m_next = 0x10000;
};

double BestImport(CRegImporter& importer, const CString& file, IRegistryBackend& (*make)(), bool& ok)
{
    double best = 1e9;
    CString error;
    for (int i = 0; i < 3; ++i) {
        IRegistryBackend& backend = make();
        CScopedRegistryBackend scope(backend);
        double start = NowSeconds();
        ok = importer.Import(file, error);
        double t = NowSeconds() - start;
        if (t < best)
            best = t;
        delete &backend;
    }
    return best;
}

} // namespace

int main()
{
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    CString regedit = CString(L"\"") + windows + L"\\regedit.exe\"";
    CString file = TempFile();
    CString fullKey = CString(L"HKEY_CURRENT_USER\\") + kBase;

    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    if (!BuildBenchTree(HKEY_CURRENT_USER, kBase)) {
        printf("could not build the branch\n");
        return 1;
    }
    // The file comes from the platform's own exporter (Unicode form).
    if (!RunAndWait(regedit + L" /e \"" + file + L"\" \"" + fullKey + L"\"")) {
        printf("regedit did not start\n");
        return 1;
    }
    DWORD size = FileSize(file);
    printf("file: %lu bytes (Unicode form)\n", static_cast<unsigned long>(size));

    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    CRegImporter importer;
    CString error;
    double start = NowSeconds();
    bool ok = importer.Import(file, error);
    double ours = NowSeconds() - start;
    SBareWalkResult walk = BareWalk(HKEY_CURRENT_USER, kBase);
    printf("importer, Wine registry: %.2f s (%s), %lu keys, %lu values\n", ours, ok ? "ok" : "FAILED",
           walk.keys, walk.values);

    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    start = NowSeconds();
    RunAndWait(regedit + L" /s \"" + file + L"\"");
    double peer = NowSeconds() - start;
    walk = BareWalk(HKEY_CURRENT_USER, kBase);
    printf("regedit /s, Wine registry: %.2f s, %lu keys, %lu values\n", peer, walk.keys, walk.values);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);

    // The same file into a fresh in-memory registry, then into nothing: best of three each.
    double memory = BestImport(
        importer, file, []() -> IRegistryBackend& { return *new CMemoryRegistryBackend; }, ok);
    printf("importer, in-memory registry: %.3f s, %.1f MB/s (%s)\n", memory, size / memory / 1e6,
           ok ? "ok" : "FAILED");
    double parse = BestImport(
        importer, file, []() -> IRegistryBackend& { return *new CNullBackend; }, ok);
    printf("importer, parse alone (every registry call accepted, nothing kept): %.3f s, %.1f MB/s (%s)\n",
           parse, size / parse / 1e6, ok ? "ok" : "FAILED");
    DeleteFileW(file);
    return 0;
}
