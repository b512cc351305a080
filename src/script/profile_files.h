// The reader and writer of profile (INI) files behind ReadIni and WriteIni. It answers
// exactly as the system's GetPrivateProfileStringA does with a 512-character buffer, and
// writes as WritePrivateProfileStringA does, but it keeps each file's parsed contents
// and appends new keys of the last section instead of rewriting the whole file. A file
// that its owner says it keeps to itself (an installation recording thousands of files in
// a row) stays open for appending until another kind of write, a change by someone else,
// Forget or the end of that time; every other file is closed after each write.
// Portable: files are read and written with the C library only.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "script/profile_file.h"
#include "script/profile_parse.h"
#include "script/text_codecs.h"

// The profile files one owner reads and writes, each kept parsed between calls. The
// program reads the script at every point of use, so each access checks the file's stamp
// (one call of the stamp function) instead of parsing it again.
class ProfileFiles {
  public:
    // `stamp` tells a changed file from a remembered one (the Windows program passes one
    // based on the system's precise file times).
    explicit ProfileFiles(FileStampFunction stamp = PortableFileStamp);

    // The value of `key` in `section` of the file at `path`; empty when the file, the
    // section or the key is missing or the value is empty. Values are cut to 511 characters.
    std::string Read(const std::string& path, std::string_view section, std::string_view key);

    // Sets `key` in `section` of the file at `path` to `value` (written as given: callers
    // choose the letter case). Creates the file, the section and the key as needed and
    // replaces an existing key's value in its own line; every other line stays as it was.
    // The file is complete on disk when the call returns (its bytes are handed to the
    // system, so they outlive the program's end). False when it cannot be written: the
    // file then stays as it was (no half-written line, no rewrite in place).
    bool Write(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value);

    // Drops what is remembered of the file at `path` (or of every file) and closes it when
    // it is held open for appending; the next access reads the file again. Needed before
    // the file is deleted, copied over or handed to another program.
    void Forget(std::string_view path);
    void ForgetAll();

    // From now until StopHolding, appends to the file at `path` go through one open file.
    void HoldForAppending(const std::string& path);
    void StopHolding();

  private:
    struct File {
        FileStamp stamp;
        int64_t verifiedAtNs = 0;
        std::string raw; // the file's bytes as last read or written, unless they are the text
        const std::string& Bytes() const { return encoding == TextEncoding::Ansi ? parsed.text : raw; }
        TextEncoding encoding = TextEncoding::Ansi;
        ParsedProfile parsed;
        uint64_t lastUse = 0;
    };

    struct CloseFile {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    File& Current(const std::string& path);
    bool Append(const std::string& path, std::string_view bytes, uint64_t oldSize);
    void StopAppending(std::string_view key);
    void Load(File& file, const std::string& path, const FileStamp& stamp);
    void ForgetLeastUsed();

    FileStampFunction stamp_;
    std::unordered_map<std::string, File> files_;
    uint64_t useCounter_ = 0;
    std::unique_ptr<std::FILE, CloseFile> appending_; // the file last appended to
    std::string appendingKey_;                        // its key in files_
    std::string heldKey_;                             // the file kept open, if any
};
