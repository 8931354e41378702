#include "parser/px_string.h"

#include <windows.h>

#include <oleauto.h>

#include <new>
#include <type_traits>

static_assert(std::is_same_v<PxString, BSTR>, "the exported calls return BSTRs");

PxString PxAllocString(std::string_view bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    BSTR text = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
    if (text == nullptr) {
        throw std::bad_alloc();
    }
    return text;
}

void PxFreeString(PxString text) {
    SysFreeString(text);
}

std::string_view PxStringBytes(PxString text) {
    if (text == nullptr) {
        return {};
    }
    return {reinterpret_cast<const char*>(text), SysStringByteLen(text)};
}
