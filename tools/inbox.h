#pragma once

// The inbox (--inbox DIR): every download the board receives, stored as a file of its own,
// download-001.bin, download-002.bin, ...; an interrupted 8088 stream as
// download-NNN.partial.bin.

#include "boardprotocol.h"

#include <filesystem>
#include <string>

// Makes the folder, or ends the program through fail().
void createInbox(const std::filesystem::path &inbox);

// Writes a download into the inbox under a number that no earlier file has. Returns what
// the download's summary line says about it: " -> PATH", or ", NOT STORED: why".
std::string storeDownload(const std::filesystem::path &inbox, const Bytes &bytes, bool whole);
