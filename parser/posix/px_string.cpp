#include "parser/px_string.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

PxString PxAllocString(std::string_view bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + bytes.size() + 2));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const auto length = static_cast<uint32_t>(bytes.size());
    std::memcpy(block, &length, sizeof length);
    std::memcpy(block + sizeof length, bytes.data(), bytes.size());
    block[sizeof length + bytes.size()] = 0;
    block[sizeof length + bytes.size() + 1] = 0;
    return block + sizeof length;
}

void PxFreeString(PxString text) {
    if (text != nullptr) {
        std::free(text - sizeof(uint32_t));
    }
}

std::string_view PxStringBytes(PxString text) {
    if (text == nullptr) {
        return {};
    }
    uint32_t length;
    std::memcpy(&length, text - sizeof length, sizeof length);
    return {text, length};
}
