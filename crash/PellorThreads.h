// The thread registry that every module of a process carrying the
// crash-report library shares: a display name, the creating thread and code
// address, the class name of a thread object and a handle that tells when
// the thread has ended, for each registered thread. The registry lives in a
// named mapping that the first module creates; its list is guarded by a
// mutex kept in the mapping. Also lists the process's threads and opens a
// thread by id.
#pragma once

#include <windows.h>

#include <vector>

#include "System.h"

#pragma pack(push, 1)
struct ThreadInfoEntry {
  DWORD threadId;
  char* name;
  ThreadInfoEntry* next;
  // Entries from older copies of the library end before these fields; a
  // reader looks at a field only when the entry's size covers it.
  char* className;
  const void* creatorAddress;
  DWORD creatorThreadId;
  HANDLE handle;  // SYNCHRONIZE | THREAD_QUERY_INFORMATION
};
struct SharedThreadRegistry {
  HANDLE watchdogMutex;
  HANDLE registryMutex;
  ThreadInfoEntry* head;
  volatile LONG refCount;
  HANDLE mapping;
};
#pragma pack(pop)
#ifndef _WIN64
static_assert(sizeof(ThreadInfoEntry) == 28);
static_assert(sizeof(SharedThreadRegistry) == 20);
#endif

// "PellorExceptThreadNameBuf$<pid>".
String ThreadRegistryName();

// Opens the process's registry, creating it (and registering the oldest
// thread as "main thread") when this is the first module; counted per
// library copy. A registry that cannot be had ends the process after a
// message box.
void OpenThreadRegistry();
// The last close of the process removes the calling thread's entry and
// closes the registry's handles; every copy unmaps its own view.
void CloseThreadRegistry();
// This copy's view; null while the registry is not open here.
SharedThreadRegistry* ThreadRegistry();
// The process's main thread as the registry knows it: the oldest thread
// when the registry was created, else the oldest registration.
DWORD LibraryMainThreadId();

// Adds, replaces or removes (neither name nor creator given) a thread's
// entry; an entry whose thread has ended is pruned on the way.
void SetThreadEntry(DWORD threadId, HANDLE thread, const String& name,
                    DWORD creatorThreadId, const void* creatorAddress,
                    const String& className);
void SetThreadName(DWORD threadId, const String& name);
// "name ($id)", "thread $id", "thread $id (Class)"; empty for a thread
// named "-" unless hidden threads are shown. Waits at most 50 ms for the
// registry.
void ThreadDisplayName(DWORD threadId, bool showHidden,
                       const void*& creatorAddress, String& text,
                       DWORD& creatorThreadId);

// The ids of the process's threads, the oldest first.
void ListProcessThreads(std::vector<DWORD>& ids);
// A handle with the access, or null.
HANDLE OpenThreadById(DWORD threadId, DWORD access);
