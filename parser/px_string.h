// Byte strings handed out by the parser library, and their owner on the
// calling side.
//
// A PxString points at the bytes of a block laid out like an OLE BSTR: a
// 32-bit byte count in front of the bytes and two zero bytes behind them.
// On Windows it is a real BSTR from SysAllocStringByteLen; natively the same
// layout comes from the C heap. The empty string is a null pointer.
#pragma once

#include "parser/parvex.h"

#include <string>
#include <string_view>

// Allocates a new string holding `bytes`; null when `bytes` is empty.
PxString PxAllocString(std::string_view bytes);
void PxFreeString(PxString text);
std::string_view PxStringBytes(PxString text);

// Owns one string returned by a parser call and releases it.
class PxText {
  public:
    explicit PxText(PxString text) : text_(text) {}
    ~PxText() { PxFreeString(text_); }
    PxText(const PxText&) = delete;
    PxText& operator=(const PxText&) = delete;

    std::string_view bytes() const { return PxStringBytes(text_); }
    std::string str() const { return std::string(bytes()); }

  private:
    PxString text_;
};
