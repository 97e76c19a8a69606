#pragma once
// Reading a compound file's root straight from its bytes, in time linear in its
// entries (the library behind the module keeps a root's entries in a sorted list
// and walks it for each one). Only what work containers use: streams in the
// root; a file it cannot vouch for is left to the module.
#include <cstdint>
#include <memory>
#include <span>

#include "platform/CompoundFileModule.h"

// The root of the compound file in `bytes` or `source` (which must outlive it),
// or nullptr when its header, allocation tables or directory do not hold
// together. A file is read a sector at a time, never whole.
std::unique_ptr<ICompoundStorage> OpenCompoundRoot(std::span<const std::uint8_t> bytes);
std::unique_ptr<ICompoundStorage> OpenCompoundRoot(const TByteSource& source);
