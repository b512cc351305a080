// Drives: their type, the list of drives of a type, and the free space of a drive.
#pragma once
#include <string>
#include <vector>
#include <cstdint>

// The system's drive type of a root path such as C:\ (3 fixed, 4 network, ...).
unsigned DriveType(const std::string& root);
// Appends to `drives` the root path (letter, colon, backslash) of every drive A to Z whose
// type is `kind`, in letter order; returns how many were found.
int16_t ListDrivesOfType(unsigned kind, std::vector<std::string>& drives);
// Free bytes of the drive named by the first letter of `path`, as a leading-blank
// number text (" 52428800"), or "unknown". Asks the toolkit library with that drive made
// the current one, and restores the current drive and folder afterwards.
std::string DriveFreeSpace(const std::string& path);
