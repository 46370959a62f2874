#include "package/sealed.h"

namespace package {

namespace {

void value(CYR_OBJECT& o, std::uint32_t cls, const void* data, std::size_t n) {
    o[0].kind = cls;
    o[1] = {CYR_VALUE, const_cast<void*>(data), static_cast<std::uint32_t>(n), 0, 0};
}

}  // namespace

CfbStream::~CfbStream() {
    abandon();
}

void CfbStream::abandon() {
    CYR_Abandon(mech_);
    CYR_ClearSlots(mech_, 8);
}

Status CfbStream::begin(const SecretBytes& session_key, bool encrypt) {
    abandon();
    for (CYR_SLOT& s : mech_) s = CYR_SLOT{};
    mech_[0].kind = CYR_MECH_SEED_CFB;
    mech_[1] = {CYR_PARAM_SEED_IV, zero_iv_, sizeof zero_iv_, 0, 0};
    key_ = session_key.clone();
    CYR_OBJECT key{};
    value(key, CYR_MECH_SEED_CFB, key_.data(), key_.size());
    encrypt_ = encrypt;
    return encrypt ? CYR_EncryptInit(mech_, key) : CYR_DecryptInit(mech_, key);
}

Status CfbStream::update(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                         std::size_t& produced) {
    produced = 0;
    if (n == 0) return 0;
    CYR_OBJECT i{}, o{};
    value(i, CYR_CLASS_DATA, in, n);
    value(o, CYR_CLASS_DATA, out, n + 16);
    Status s = encrypt_ ? CYR_EncryptUpdate(mech_, i, o) : CYR_DecryptUpdate(mech_, i, o);
    if (s != 0) return s;  // a failed update has released the context
    produced = o[1].length;
    return 0;
}

Status CfbStream::finish(std::uint8_t* out, std::size_t& produced) {
    produced = 0;
    CYR_OBJECT o{};
    value(o, CYR_CLASS_DATA, out, 16);
    Status s = encrypt_ ? CYR_EncryptFinal(mech_, o) : CYR_DecryptFinal(mech_, o);
    if (s == 0) produced = o[1].length;
    return s;
}

}  // namespace package
