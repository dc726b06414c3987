#pragma once
// tavio-cli commands that move the configuration between the ESC and .bin
// files, and look at such files.

#include <string>

#include "cli/command.h"
#include "core/files/config_file.h"

namespace tavio::cli {

int CommandRead(Context& context);      // read OUT.bin
int CommandWrite(Context& context);     // write IN.bin [--backup OLD.bin]
int CommandDefaults(Context& context);  // defaults CODE OUT.bin [--store]
int CommandDiff(Context& context);      // diff A.bin B.bin
int CommandShow(Context& context);      // show IN.bin [--json]
int CommandBackups(Context& context);   // backups

// Saves as the window's "Save file" does: sealed by the save rule of the
// connected ESC, the connected family code in front. Prints the outcome.
bool SaveForConnectedEsc(Context& context, const DeviceInfo& info, ConfigImage& image,
                         const std::string& path);

// Saves the block as read, unsealed, with the connected family code: a
// damaged block kept this way still fails the load test.
bool SaveAsRead(Context& context, const DeviceInfo& info, const ConfigImage& image, const std::string& path);

// For a block just read from the ESC: an erased block is refused with the
// way back; a damaged one is refused naming both checksums unless
// `force_allowed` and --force. True when the caller may go on.
bool AcceptEscBlock(Context& context, const DeviceInfo& info, const ConfigImage& block, bool force_allowed);

// Seals by the store rule, saves the block the ESC holds (`held` when the
// caller read it already) into the backup folder, writes the image, reads it
// back and compares the block's bytes with what was sent. Prints the outcome.
bool StoreAndVerify(Context& context, Device& device, ConfigImage& image, const ConfigImage* held = nullptr);

// "CORVAN", or "family 500" for a code without a name.
std::string FamilyText(uint16_t family);

// A whole 94-byte file for looking at; prints why not and returns false.
bool ReadFileForInspection(Context& context, const std::string& path, ConfigFile& file);

}  // namespace tavio::cli
