/*
 * cyr.h - the flat call interface of the Vellora crypto toolkit.
 *
 * Compiles as C99 and as C++. Nothing here throws; every entry point
 * returns a status code (CYR_OK, 0, on success) that CYR_GetErrorString
 * names.
 *
 * Records and buffers
 *   Callers own every record and every buffer. A mechanism record (slot 0:
 *   the mechanism number, 1..4: parameters) receives its working context in
 *   slots 5..7 from the toolkit; the toolkit allocates it, and it alone frees
 *   it ("releases": wipes, then frees). Parameter buffers are copied at
 *   initialisation (the IVs) or read while the operation runs (the seeds of
 *   the elliptic-curve mechanisms): they must stay valid until it ends.
 *   Callers wipe their own records with CYR_ClearSlots when done.
 *
 * Lengths
 *   Objects pass bytes in slot 1 (kind CYR_VALUE): data and length. An
 *   output's length is its capacity on the way in and the count of bytes
 *   written on the way out; it changes only on success and on size queries.
 *   A producing call with output data null is a size query: the size needed
 *   is stored in the output's length, CYR_OK is returned, nothing is worked
 *   and the mechanism keeps its context. An output below that size gives
 *   CYR_BUFFER_TOO_SMALL.
 *
 * Life of an operation
 *   Init installs a context (replacing and releasing one already there; on
 *   failure nothing is installed). A one-shot call, a final call and every
 *   failing call release the context, except after a size query; a
 *   successful update keeps it. To stop a started operation without its
 *   final call (an error elsewhere, a cancel), call CYR_Abandon.
 *
 * Overlapping buffers
 *   Input and output must not overlap. The block-cipher mechanisms check it:
 *   an overlap (equal pointers included) fails with the cipher's update code
 *   (encryption base+1, decryption base+4) and releases the context. The
 *   public-key and digest mechanisms do not check it: the result of
 *   overlapping buffers there is undefined.
 *
 * Timing
 *   Not constant-time, so not for use where an attacker measures the time
 *   or the cache of the machine doing the work: SEED, AES and ARIA look up
 *   tables indexed by key and data bytes; the big-number code (the
 *   large-modulus mechanisms 27..30) and the binary-field and curve code
 *   (mechanisms 10, 11, 25, 26) take time and memory paths that depend on
 *   the secret values.
 *
 * Threads
 *   Calls on different records may run on different threads at once (the
 *   one shared state, the generator behind mechanism 49, locks itself); one
 *   record must not be used by two threads at once. CYR_GetErrorString is
 *   safe from any thread.
 */
#ifndef CYR_H
#define CYR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct CYR_SLOT {
    uint32_t kind;   /* meaning depends on the slot's position */
    void* data;      /* the bytes, or a pointer to one uint32_t; null when empty */
    uint32_t length; /* bytes at data; for outputs, capacity in and produced out */
    uint8_t wipe;    /* 1: zero length bytes at data on release */
    uint8_t owned;   /* 1: the toolkit allocated data and frees it on release */
} CYR_SLOT;

/* slot 0: mechanism number; 1..4: parameters; 5..7: working contexts */
typedef CYR_SLOT CYR_MECHANISM[8];
/* slot 0: object class; slot 1: the value (kind CYR_VALUE); 2..9 zero */
typedef CYR_SLOT CYR_OBJECT[10];

/* Object classes (slot 0 kind of a CYR_OBJECT). */
#define CYR_CLASS_PUBLIC_KEY 1u
#define CYR_CLASS_PRIVATE_KEY 2u
#define CYR_CLASS_SECRET 3u
#define CYR_CLASS_DATA 4u

/* Kind of an object's value slot. */
#define CYR_VALUE 1u

/* Parameter kinds (slots 1..4 of a mechanism). */
#define CYR_PARAM_CURVE 2u          /* -> uint32_t, default 5 */
#define CYR_PARAM_POINT_FORMAT 3u   /* -> uint32_t, 2, 4 or 6, default 4 */
#define CYR_PARAM_SEED 5u           /* bytes */
#define CYR_PARAM_EXTRA_SEED 6u     /* bytes */
#define CYR_PARAM_SEED_IV 7u        /* 16 bytes */
#define CYR_PARAM_RNG_METHOD 8u     /* -> uint32_t, default 1 */
#define CYR_PARAM_MODULUS_BITS 9u   /* -> uint32_t, default 1024 */
#define CYR_PARAM_KEYGEN_METHOD 10u /* -> uint32_t, default 1 */
#define CYR_PARAM_AES_IV 11u        /* 16 bytes */
#define CYR_PARAM_ARIA_IV 12u       /* 16 bytes */

/* Context kinds (slots 5..7; filled only by the toolkit). */
#define CYR_CTX_SEED 57u
#define CYR_CTX_SHA1 58u
#define CYR_CTX_SEED_RNG 59u
#define CYR_CTX_EC_KEY 60u
#define CYR_CTX_RSA_KEY 61u
#define CYR_CTX_AES 62u
#define CYR_CTX_ARIA 63u

/* Mechanism numbers. Package files store some of them: fixed identifiers.
 * 27 (large-modulus key pair) and 28..30 (large-modulus encryption) have no
 * names. */
#define CYR_MECH_EC_KEY_PAIR_GEN 10u
#define CYR_MECH_ECC 11u
#define CYR_MECH_SEED_ECB 14u
#define CYR_MECH_SEED_CBC 15u
#define CYR_MECH_SEED_CBC_PAD 16u
#define CYR_MECH_SEED_OFB 17u
#define CYR_MECH_SEED_CFB 18u
#define CYR_MECH_SHA1 19u
#define CYR_MECH_SEED_RNG 22u
#define CYR_MECH_ECC_SEED_CBC 25u
#define CYR_MECH_ECC_SEED_CBC_PAD 26u
#define CYR_MECH_AES_CBC_PAD 35u
#define CYR_MECH_AES_CBC 36u
#define CYR_MECH_AES_ECB 37u
#define CYR_MECH_AES_OFB 38u
#define CYR_MECH_AES_CFB 39u
#define CYR_MECH_ARIA_CBC_PAD 42u
#define CYR_MECH_ARIA_CBC 43u
#define CYR_MECH_ARIA_ECB 44u
#define CYR_MECH_ARIA_OFB 45u
#define CYR_MECH_ARIA_CFB 46u
#define CYR_MECH_RANDOM 49u

/* Status codes. The name table in CYR_GetErrorString is the only source of
 * their texts. */
#define CYR_OK 0u
#define CYR_EC_NUMBER_NOT_SUPPORTED 16u
#define CYR_ECC_ENCRYPT_FAILED 17u
#define CYR_ECC_DECRYPT_FAILED 18u
#define CYR_ECDH_BASEKEY_EMPTY 19u
#define CYR_ECDH_PEERSKEY_EMPTY 20u
#define CYR_ECDH_KEYLENGTH_INVAILD 21u
#define CYR_ECDSA_SIGNATURE_MISMATCHED 22u
#define CYR_ECC_GEN_KEYPAIR_FAILED 24u
#define CYR_ECDH_DERIVE_KEY_FAILED 25u
#define CYR_ECDSA_SIGN_FAILED 26u
#define CYR_ECDSA_VERIFY_FAILED 27u
#define CYR_SEED_ENCRYPT_INIT_FAILED 256u
#define CYR_SEED_ENCRYPT_UPDATE_FAILED 257u
#define CYR_SEED_ENCRYPT_FINAL_FAILED 258u
#define CYR_SEED_DECRYPT_INIT_FAILED 259u
#define CYR_SEED_DECRYPT_UPDATE_FAILED 260u
#define CYR_SEED_DECRYPT_FINAL_FAILED 261u
#define CYR_SEED_PADDING_ERROR 262u
#define CYR_SEED_MAC_UPDATE_FAILED 263u
#define CYR_SEED_MAC_FINAL_FAILED 264u
#define CYR_SEED_MAC_MISMATCHED 265u
#define CYR_SEED_KEY_SCHEDULE_FAILD 267u
/* Unnamed codes: 23 (elliptic-curve key over 43 bytes at init); AES 268..279
 * and ARIA 280..291, numbered from their base with the SEED offsets. */
#define CYR_ARGUMENTS_BAD 4096u
#define CYR_CTX_NOT_SUPPORTED 4097u
#define CYR_INPUT_DATA_EMPTY 4098u
#define CYR_INPUT_DATALENGTH_INVALID 4099u
#define CYR_OUTBUFFER_NULL 4100u
#define CYR_ENCRYPT_KEY_EMPTY 4101u
#define CYR_DECRYPT_KEY_EMPTY 4102u
#define CYR_KEY_TYPE_NOT_SUPPORTED 4103u
#define CYR_KEY_TYPE_INVAILD 4104u
#define CYR_BUFFER_TOO_SMALL 4105u
#define CYR_RADNOM_LENGTH_INVAILD 4106u
#define CYR_X9_62_GEN_RANDOM_FAILD 4107u
#define CYR_X9_31_GEN_RANDOM_FAILD 4108u
#define CYR_SIGN_KEY_EMPTY 4109u
#define CYR_VERIFY_KEY_EMPTY 4110u

/* The name of a status code ("UNKNOWN_ERROR" for codes without one): a
 * constant text that stays valid for the life of the program. */
const char* CYR_GetErrorString(uint32_t code);

/* Wipes every slot of [first, first+count) whose wipe flag is set; frees
 * nothing (a context still in slots 5..7 needs CYR_Abandon first). Null
 * first: nothing. Always CYR_OK. */
uint32_t CYR_ClearSlots(CYR_SLOT* first, uint32_t count);

/* Ends whatever operation the mechanism has started: releases (wipes and
 * frees) its contexts in slots 5..7 and produces nothing. A mechanism
 * without a context is left as it is. Null mechanism: CYR_ARGUMENTS_BAD;
 * otherwise CYR_OK. */
uint32_t CYR_Abandon(CYR_SLOT* mechanism);

/* Mechanisms 10 (elliptic curve, parameters CYR_PARAM_CURVE,
 * CYR_PARAM_POINT_FORMAT, CYR_PARAM_RNG_METHOD, CYR_PARAM_SEED) and 27
 * (large modulus, CYR_PARAM_MODULUS_BITS). Object classes must be
 * CYR_CLASS_PUBLIC_KEY and CYR_CLASS_PRIVATE_KEY (else
 * CYR_KEY_TYPE_NOT_SUPPORTED). Null value data on either object is a size
 * query for both: both lengths set to the sizes required. Otherwise writes
 * both keys and sets both lengths. No context is kept. */
uint32_t CYR_GenerateKeyPair(CYR_SLOT* mechanism, CYR_SLOT* publicKey, CYR_SLOT* privateKey);

/* Mechanism 49: fills exactly output->length bytes from the toolkit's
 * generator (seeded from the operating system at first use). Null data:
 * CYR_INPUT_DATA_EMPTY; length 0: CYR_INPUT_DATALENGTH_INVALID. Releases
 * the mechanism's contexts. */
uint32_t CYR_GenerateRandom(CYR_SLOT* mechanism, CYR_SLOT* output);

/* Block ciphers (SEED 14..18, AES 35..39, ARIA 42..46; the IV parameter of
 * the cipher's own kind, 16 bytes, all-zero when absent) and public-key
 * ciphers (11, 25, 26, 28..30). Key: slot 1 of the key object. SEED takes
 * exactly 16 bytes; AES and ARIA take 16, 24 or 32 and use the leading 32,
 * 24 or 16 bytes of a longer key; other lengths fail with the cipher's key
 * schedule code (base+11).
 * One-shot output size: encryption the input length, plus 1..16 bytes of
 * padding up to the next multiple of 16 for the CBC_PAD mechanisms;
 * decryption the input length (the padding is removed from what is
 * written, and the length says so). Unpadded ECB
 * and CBC need a multiple of 16 bytes (base+6).
 * Update (SEED only; AES and ARIA: CYR_CTX_NOT_SUPPORTED): writes the whole
 * blocks of what has been fed so far; decryption holds back the last block
 * until the final call. Final writes what is left: at most 16 bytes.
 * Empty or null input: CYR_INPUT_DATA_EMPTY. No context (never initialised,
 * or already released): CYR_ARGUMENTS_BAD. A wrong key or damaged
 * ciphertext under CBC_PAD shows as the decrypt final code (base+5). */
uint32_t CYR_EncryptInit(CYR_SLOT* mechanism, CYR_SLOT* key);
uint32_t CYR_Encrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_EncryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_EncryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output);
uint32_t CYR_DecryptInit(CYR_SLOT* mechanism, CYR_SLOT* key);
uint32_t CYR_Decrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_DecryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_DecryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output);

/* Mechanism 19, SHA-1 (FIPS 180-4). One CYR_Digest call digests exactly one
 * non-empty buffer into 20 bytes (an output below 20:
 * CYR_INPUT_DATALENGTH_INVALID) and releases the context; a size query
 * keeps it. */
uint32_t CYR_DigestInit(CYR_SLOT* mechanism);
uint32_t CYR_Digest(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);

#ifdef __cplusplus
}
#endif

#endif /* CYR_H */
