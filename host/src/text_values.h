// String and Filename values: the host's contents inside storage the plug-in provides.
//
// A String's 16 bytes hold a TextCell: the host's text (null while empty) and a magic telling
// an initialised value from raw storage. An R12 Filename is 32 bytes: an embedded String at 0,
// which the plug-in initialises itself, and the host's TextCell holding the path at 16; an
// R11_5 Filename is just the TextCell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorhost {

struct TextCell {
  std::string* text;
  uint64_t magic;
};
static_assert(sizeof(TextCell) == 16);

inline constexpr uint64_t kStringMagic = 0x51535452494e4721ULL;    // "QSTRING!"
inline constexpr uint64_t kFilenameMagic = 0x5146494c454e4d21ULL;  // "QFILENM!"

// Who releases a value: the plug-in (its own storage, or host storage handed out to it, such as
// an R11_5 GetString result), or nobody (the host's permanent strings).
enum class ValueOwner { Plugin, HandedOut, Permanent };

// Initialises `storage` as a String holding `text`. Values not Permanent are counted in the
// books until released.
void InitString(void* storage, std::string_view text, ValueOwner owner = ValueOwner::Plugin);
void ReleaseString(void* storage);
// The text of an initialised String; null, with a fault in the books naming `op`, otherwise.
std::string* StringText(const void* storage, const char* op);
// The text, or "" for a null or uninitialised String (fault recorded when uninitialised).
std::string StringValue(const void* storage, const char* op);
bool IsString(const void* storage);

// Filenames. In an R12 session InitFilename also initialises the embedded String when
// `with_embedded` (the host constructs whole values it returns or makes for tests).
void InitFilename(void* storage, std::string_view path, bool with_embedded,
                  ValueOwner owner = ValueOwner::Plugin);
void ReleaseFilename(void* storage, bool with_embedded);
std::string* FilenamePath(const void* storage, const char* op);
std::string FilenameValue(const void* storage, const char* op);
bool IsFilename(const void* storage);
size_t FilenameSize();  // 32 in R12, 16 in R11_5

// Host-owned values handed to the plug-in (R11_5 GetString/GetDirectory results): storage
// from the host, released by FreeString / FreeFilename.
void* NewHandedOutString(std::string_view text);
void* NewHandedOutFilename(std::string_view path);
bool FreeHandedOutString(void* storage);  // false: not a value the host handed out
bool FreeHandedOutFilename(void* storage);

// UTF-8 text in code points.
int32_t CodePointCount(std::string_view text);
// Byte offset of code point `index` (clamped to [0, count]).
size_t CodePointOffset(std::string_view text, int32_t index);

// Path rules of Filename.
std::string PathWithoutSuffix(std::string_view path);
std::string PathDirectory(std::string_view path);

}  // namespace quorhost
