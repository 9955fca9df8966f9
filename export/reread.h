// Fetching a found message again from its source: the bytes as they were stored, with the .dbx block
// headers cut out and bytes 0x00..0x07 turned into spaces. Nothing is decoded or re-wrapped.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vellox {

class ISectorSource;
struct tagMailItem;
using ByteString = std::string;

// Window sizing (bytes). A record's attachment sizes come from the message itself and may be forged, so
// their sum is capped; a message whose end is not inside the window is read further, up to kMaxReadWindow.
constexpr uint64_t kBaseReadWindow = 524288;
constexpr uint64_t kMaxAttachmentSum = 32ull * 1024 * 1024;
constexpr uint64_t kMaxReadWindow = 96ull * 1024 * 1024;

// Reads the record's message into `text`. `source` may be null: the message's own source
// (g_strDataSource) is then opened and closed again. False only when no source could be opened or memory
// ran out; true with an empty text when the message was not found.
bool ReReadMessage(const tagMailItem& record, ISectorSource* source, const std::atomic<int>* stop, ByteString& text);

// The search over an already joined window, exposed for tests and fuzzing: the located message's
// [begin, end) in `joined`, or false. `reachedEnd` tells whether the message ran to the end of the data.
bool LocateMessage(const ByteString& joined, const tagMailItem& record, const std::atomic<int>* stop, size_t& begin,
                   size_t& end, bool& reachedEnd);

// Cuts the 16-byte .dbx block headers out of raw window bytes. When `rawMark` is given, `joinedMark`
// receives the position in the joined text of the raw byte at that offset.
ByteString JoinBlocks(const uint8_t* raw, size_t len, const std::atomic<int>* stop, size_t rawMark = SIZE_MAX,
                      size_t* joinedMark = nullptr);

} // namespace vellox
