#include "package/keys.h"

#include <algorithm>

#include "package/messages.h"
#include "toolkit/cyr.h"

namespace package {

namespace {

constexpr std::uint32_t kSharedCurve = 3;
constexpr std::uint32_t kPointFormat = 4;
constexpr std::uint32_t kSeedGenerator = 2;
constexpr std::size_t kDigestSize = 20;

// A mechanism record that is wiped when it goes out of scope.
struct Mechanism {
    CYR_MECHANISM m{};
    std::uint8_t zero_iv[16]{};
    std::uint32_t values[4]{};

    explicit Mechanism(std::uint32_t number) { m[0].kind = number; }
    // Ends an operation that a failed or skipped step left started
    // (CYR_ClearSlots frees no context), then wipes the parameters.
    ~Mechanism() {
        CYR_Abandon(m);
        CYR_ClearSlots(m, 8);
    }
    Mechanism(const Mechanism&) = delete;
    Mechanism& operator=(const Mechanism&) = delete;

    void zero_vector() { m[1] = {CYR_PARAM_SEED_IV, zero_iv, sizeof zero_iv, 0, 0}; }
    void number_param(int slot, std::uint32_t kind, std::uint32_t value) {
        values[slot - 1] = value;
        m[slot] = {kind, &values[slot - 1], 4, 0, 0};
    }
};

// A caller-owned buffer seen by the toolkit as an object's value.
struct Object {
    CYR_OBJECT o{};
    Object(std::uint32_t cls, const void* data, std::size_t length) {
        o[0].kind = cls;
        o[1] = {CYR_VALUE, const_cast<void*>(data), static_cast<std::uint32_t>(length), 1, 0};
    }
    ~Object() { o[1].wipe = 0; }  // the owner wipes its own buffer
    std::uint32_t length() const { return o[1].length; }
};

// One-shot cipher with an all-zero IV; `decrypt` selects the direction.
Status cfb_once(std::uint32_t mechanism, const SecretBytes& key, std::span<const std::uint8_t> in,
                SecretBytes& out, bool decrypt) {
    Mechanism mech(mechanism);
    mech.zero_vector();
    Object k(mechanism, key.data(), key.size());
    Status s = decrypt ? CYR_DecryptInit(mech.m, k.o) : CYR_EncryptInit(mech.m, k.o);
    if (s != 0) return s;
    SecretBytes input(in);
    out.resize(in.size() + 16);
    Object i(CYR_CLASS_DATA, input.data(), input.size());
    Object o(CYR_CLASS_DATA, out.data(), out.size());
    s = decrypt ? CYR_Decrypt(mech.m, i.o, o.o) : CYR_Encrypt(mech.m, i.o, o.o);
    if (s != 0) return s;
    out.resize(o.length());
    return 0;
}

bool passes_check(const SecretBytes& candidate, const CheckBlock& check, Status& status) {
    SecretBytes plain;
    status = cfb_once(CYR_MECH_SEED_CFB, candidate, check, plain, true);
    if (status != 0) return false;
    return plain.size() == kCheckBlockSize && std::all_of(plain.data(), plain.data() + plain.size(),
                                                          [](std::uint8_t b) { return b == 0; });
}

}  // namespace

std::uint16_t slot_kind_for(Algorithm algorithm) {
    switch (algorithm) {
        case Algorithm::Aria:
            return kSlotAria;
        case Algorithm::Aes:
            return kSlotAes;
        default:
            return kSlotSeed;
    }
}

const char* algorithm_word(std::uint16_t slot_kind) {
    switch (slot_kind) {
        case kSlotEcc:
            return "ECC";
        case kSlotAria:
            return kAlgorithmWords[stored(Algorithm::Aria)].item;
        case kSlotAes:
            return kAlgorithmWords[stored(Algorithm::Aes)].item;
        default:
            return kAlgorithmWords[stored(Algorithm::Seed)].item;
    }
}

std::string status_text(Status status) {
    return CYR_GetErrorString(status);
}

Status derive_key_encryption_key(std::span<const std::uint8_t> password, SecretBytes& kek) {
    Mechanism mech(CYR_MECH_SHA1);
    Status s = CYR_DigestInit(mech.m);
    if (s != 0) return s;
    SecretBytes input(password);
    SecretBytes digest(kDigestSize);
    Object in(CYR_CLASS_DATA, input.data(), input.size());
    Object out(CYR_CLASS_DATA, digest.data(), digest.size());
    s = CYR_Digest(mech.m, in.o, out.o);
    if (s != 0) return s;
    digest.resize(kSessionKeySize);
    kek = std::move(digest);
    return 0;
}

Status generate_session_key(SecretBytes& session_key) {
    Mechanism mech(CYR_MECH_RANDOM);
    session_key.resize(kSessionKeySize);
    Object out(CYR_CLASS_SECRET, session_key.data(), session_key.size());
    return CYR_GenerateRandom(mech.m, out.o);
}

Status wrap_with_password(const SecretBytes& session_key, std::span<const std::uint8_t> password,
                          Algorithm algorithm, KeySlot& slot) {
    SecretBytes kek;
    Status s = derive_key_encryption_key(password, kek);
    if (s != 0) return s;
    const std::uint16_t kind = slot_kind_for(algorithm);
    SecretBytes wrapped;
    s = cfb_once(kind, kek, session_key.span(), wrapped, false);
    if (s != 0) return s;
    slot.kind = kind;
    slot.wrapped.assign(wrapped.data(), wrapped.data() + wrapped.size());
    return 0;
}

Status wrap_for_recipient(const SecretBytes& session_key, std::span<const std::uint8_t> public_key,
                          KeySlot& slot) {
    Mechanism mech(CYR_MECH_ECC);
    mech.number_param(1, CYR_PARAM_CURVE, kSharedCurve);
    Bytes key(public_key.begin(), public_key.end());
    Object k(CYR_CLASS_PUBLIC_KEY, key.data(), key.size());
    Status s = CYR_EncryptInit(mech.m, k.o);
    if (s != 0) return s;
    SecretBytes input(session_key.span());
    Object in(CYR_CLASS_DATA, input.data(), input.size());
    Object query(CYR_CLASS_DATA, nullptr, 0);
    s = CYR_Encrypt(mech.m, in.o, query.o);
    if (s != 0) return s;
    Bytes out(query.length() + 1);
    Object o(CYR_CLASS_DATA, out.data(), out.size());
    s = CYR_Encrypt(mech.m, in.o, o.o);
    if (s != 0) return s;
    out.resize(o.length());
    slot.kind = kSlotEcc;
    slot.wrapped = std::move(out);
    return 0;
}

Status DeriveSharedKeyPair(std::span<const std::uint8_t> password, Bytes& public_key,
                           SecretBytes& private_key) {
    Mechanism digest_mech(CYR_MECH_SHA1);
    Status s = CYR_DigestInit(digest_mech.m);
    if (s != 0) return s;
    SecretBytes input(password);
    SecretBytes seed(kDigestSize);
    Object in(CYR_CLASS_DATA, input.data(), input.size());
    Object out(CYR_CLASS_DATA, seed.data(), seed.size());
    s = CYR_Digest(digest_mech.m, in.o, out.o);
    if (s != 0) return s;

    Mechanism mech(CYR_MECH_EC_KEY_PAIR_GEN);
    mech.number_param(1, CYR_PARAM_CURVE, kSharedCurve);
    mech.number_param(2, CYR_PARAM_POINT_FORMAT, kPointFormat);
    mech.number_param(3, CYR_PARAM_RNG_METHOD, kSeedGenerator);
    mech.m[4] = {CYR_PARAM_SEED, seed.data(), static_cast<std::uint32_t>(seed.size()), 1, 0};
    Object pub_query(CYR_CLASS_PUBLIC_KEY, nullptr, 0);
    Object priv_query(CYR_CLASS_PRIVATE_KEY, nullptr, 0);
    s = CYR_GenerateKeyPair(mech.m, pub_query.o, priv_query.o);
    if (s != 0) return s;
    Bytes pub(pub_query.length() + 1, 0);
    SecretBytes priv(priv_query.length() + 1);
    Object pub_obj(CYR_CLASS_PUBLIC_KEY, pub.data(), pub.size());
    Object priv_obj(CYR_CLASS_PRIVATE_KEY, priv.data(), priv.size());
    s = CYR_GenerateKeyPair(mech.m, pub_obj.o, priv_obj.o);
    if (s != 0) return s;
    pub.resize(pub_obj.length());
    priv.resize(priv_obj.length());
    public_key = std::move(pub);
    private_key = std::move(priv);
    return 0;
}

Status make_check_block(const SecretBytes& session_key, CheckBlock& out) {
    const std::uint8_t zeros[kCheckBlockSize] = {};
    SecretBytes block;
    Status s = cfb_once(CYR_MECH_SEED_CFB, session_key, zeros, block, false);
    if (s != 0) return s;
    if (block.size() != out.size()) return CYR_BUFFER_TOO_SMALL;
    std::copy(block.data(), block.data() + block.size(), out.begin());
    return 0;
}

Status PasswordKeys::private_key(const SecretBytes*& out) {
    if (!private_key_) {
        Bytes pub;
        SecretBytes priv;
        Status s = DeriveSharedKeyPair(password_.span(), pub, priv);
        if (s != 0) return s;
        private_key_ = std::move(priv);
    }
    out = &*private_key_;
    return 0;
}

Recovery recover_session_key(const KeyHeader& header, const CheckBlock& check, PasswordKeys& keys) {
    Recovery r;
    for (const KeySlot& slot : header.slots) {
        if (slot.kind == kSlotReserved) continue;
        if (slot.kind == kSlotEcc) {
            const SecretBytes* priv = nullptr;
            if (Status s = keys.private_key(priv); s != 0) {
                r.error = status_text(s);
                return r;
            }
            Mechanism mech(CYR_MECH_ECC);
            mech.number_param(1, CYR_PARAM_CURVE, kSharedCurve);
            Object k(CYR_CLASS_PRIVATE_KEY, priv->data(), priv->size());
            if (Status s = CYR_DecryptInit(mech.m, k.o); s != 0) {
                r.error = status_text(s);
                return r;
            }
            // A slot made for someone else, or damaged, is simply not ours.
            Bytes wrapped = slot.wrapped;
            Object in(CYR_CLASS_DATA, wrapped.data(), wrapped.size());
            Object query(CYR_CLASS_DATA, nullptr, 0);
            if (CYR_Decrypt(mech.m, in.o, query.o) != 0 || query.length() != kSessionKeySize)
                continue;
            SecretBytes candidate(query.length() + 1);
            Object o(CYR_CLASS_DATA, candidate.data(), candidate.size());
            if (CYR_Decrypt(mech.m, in.o, o.o) != 0) continue;
            candidate.resize(o.length());
            Status s = 0;
            if (passes_check(candidate, check, s)) {
                r.found = true;
                r.session_key = std::move(candidate);
                r.slot_kind = slot.kind;
                return r;
            }
            if (s != 0) {
                r.error = status_text(s);
                return r;
            }
            continue;
        }
        if (slot.kind == kSlotSeed || slot.kind == kSlotAria || slot.kind == kSlotAes) {
            if (slot.wrapped.size() != kSessionKeySize) return r;
            SecretBytes kek;
            if (Status s = derive_key_encryption_key(keys.password(), kek); s != 0) {
                r.error = status_text(s);
                return r;
            }
            SecretBytes candidate;
            Status s = cfb_once(slot.kind, kek, slot.wrapped, candidate, true);
            if (s == 0 && passes_check(candidate, check, s)) {
                r.found = true;
                r.session_key = std::move(candidate);
                r.slot_kind = slot.kind;
            }
            if (s != 0) r.error = status_text(s);
            return r;
        }
        r.error = msg::kAlgorithmRead;
        return r;
    }
    return r;
}

}  // namespace package
