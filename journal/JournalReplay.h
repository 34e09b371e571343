// Applying a journal entry's ops to the registry (inverses newest first, or forwards again), the
// check that the registry still holds what an entry left, and reading a branch whole.
#pragma once

#include "journal/JournalOp.h"
#include "registry/RegistryBackend.h"

#include <string>
#include <vector>

// Each returns false when some step failed; the steps after it are still tried.
bool ApplyInverse(IRegistryBackend& registry, const std::vector<SJournalOp>& ops);
bool ApplyForward(IRegistryBackend& registry, const std::vector<SJournalOp>& ops);

// True when every key and value the ops touched is as the ops left it (end) or as they found it
// (prior).
bool MatchesEndState(IRegistryBackend& registry, const std::vector<SJournalOp>& ops);
bool MatchesPriorState(IRegistryBackend& registry, const std::vector<SJournalOp>& ops);

// Reads the branch at root\path into keys (parents first), adding the bytes it takes to size.
// Stops with false as soon as size passes limit; a branch that cannot be opened is empty.
bool ReadBranch(IRegistryBackend& registry, HKEY root, const std::wstring& path,
                std::vector<SJournalKey>& keys, size_t& size, size_t limit);

// The class and values of an open key, and the names of its subkeys.
bool ReadKeyContents(IRegistryBackend& registry, HKEY key, SJournalKey& out,
                     std::vector<std::wstring>& children, size_t& size);

// A value's type and data whole, growing the buffer as the registry asks.
LONG QueryWholeValue(IRegistryBackend& registry, HKEY key, const wchar_t* name, DWORD& type,
                     std::vector<BYTE>& data);

// Case-folded form of root and path, for comparing locations.
std::wstring FoldedKey(DWORD root, const std::wstring& path);
std::wstring JoinPath(const std::wstring& path, const std::wstring& child);
