// Copying out of a memory-mapped file without letting the file end the
// program. A page of a mapped file raises SIGBUS when it is touched after
// another program has cut the file short below it, or when the device
// cannot read it (a network share gone, a removable drive pulled). Such a
// fault inside CopyFromMap makes the copy fail instead.
//
// The first call installs a SIGBUS handler for the process; a fault
// anywhere else is handed back to the handling there was before.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvarin::store {

// Copies len bytes from the map at `from` to `to` (not in a map); false when
// a page of them could not be read.
bool CopyFromMap(uint8_t* to, const uint8_t* from, size_t len);

}  // namespace kelvarin::store
