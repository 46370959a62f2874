/*
 * cyr.h - the flat call interface of the Vellora crypto toolkit.
 *
 * Callers own every record and buffer. The toolkit hangs working contexts
 * into slots 5..7 of a mechanism record at initialisation and releases
 * (wipes and frees) them after a one-shot or final call; callers wipe their
 * records with CYR_ClearSlots when done. Every entry point returns a status
 * code, 0 on success; CYR_GetErrorString names it.
 *
 * Compiles as C99 and as C++.
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

/* The name of a status code ("UNKNOWN_ERROR" for codes without one), in a
 * buffer shared by all calls and overwritten by the next. */
const char* CYR_GetErrorString(uint32_t code);

/* Wipes every slot of [first, first+count) whose wipe flag is set; frees
 * nothing. Always 0. */
uint32_t CYR_ClearSlots(CYR_SLOT* first, uint32_t count);

/* Mechanisms 10 and 27. Null value data on either object: both lengths set
 * to the sizes required, 0 returned. */
uint32_t CYR_GenerateKeyPair(CYR_SLOT* mechanism, CYR_SLOT* publicKey, CYR_SLOT* privateKey);

/* Mechanism 49: fills exactly output->length bytes. */
uint32_t CYR_GenerateRandom(CYR_SLOT* mechanism, CYR_SLOT* output);

/* Producing calls accept output data null as a size query: the size is stored
 * in output length, 0 is returned and the mechanism keeps its context. */
uint32_t CYR_EncryptInit(CYR_SLOT* mechanism, CYR_SLOT* key);
uint32_t CYR_Encrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_EncryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_EncryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output);
uint32_t CYR_DecryptInit(CYR_SLOT* mechanism, CYR_SLOT* key);
uint32_t CYR_Decrypt(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_DecryptUpdate(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);
uint32_t CYR_DecryptFinal(CYR_SLOT* mechanism, CYR_SLOT* output);

/* Mechanism 19. One CYR_Digest call digests exactly one buffer. */
uint32_t CYR_DigestInit(CYR_SLOT* mechanism);
uint32_t CYR_Digest(CYR_SLOT* mechanism, CYR_SLOT* input, CYR_SLOT* output);

#ifdef __cplusplus
}
#endif

#endif /* CYR_H */
