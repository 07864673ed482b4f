// What another process holds of the system's resources, for the tests that
// look for leaks: kernel handles, GDI objects and USER objects.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

struct ResourceCounts
{
    DWORD handles;
    DWORD gdiObjects;
    DWORD userObjects;
};

// Counts what the process holds. The documented calls come first
// (GetProcessHandleCount, GetGuiResources); where one answers 0, which no
// living process can truly hold, it is a stub (Wine 8) and the count is
// taken another way: the system's handle table, the process's own GDI
// handle table, and its windows. HOW says which source gave each count.
testing::AssertionResult CountResources(DWORD processId, ResourceCounts* counts, std::string* how);

std::string Describe(const ResourceCounts& counts);
