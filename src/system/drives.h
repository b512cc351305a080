// Drives: their type and the list of drives of a type (free space: system/file_system.h).
#pragma once
#include <string>
#include <vector>
#include <cstdint>

// The system's drive type of a root path such as C:\ (3 fixed, 4 network, ...).
unsigned DriveType(const std::string& root);
// Appends to `drives` the root path (letter, colon, backslash) of every drive A to Z whose
// type is `kind`, in letter order; returns how many were found.
int16_t ListDrivesOfType(unsigned kind, std::vector<std::string>& drives);
