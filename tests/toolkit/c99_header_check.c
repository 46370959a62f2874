/* cyr.h must compile as strict C99 for callers written in C. */
#include "toolkit/cyr.h"

#include <string.h>

int main(void) {
    CYR_MECHANISM mechanism;
    CYR_OBJECT data;
    uint8_t text[3] = {'a', 'b', 'c'};
    uint8_t digest[20];
    CYR_OBJECT out;
    memset(mechanism, 0, sizeof mechanism);
    memset(data, 0, sizeof data);
    memset(out, 0, sizeof out);
    mechanism[0].kind = CYR_MECH_SHA1;
    data[0].kind = CYR_CLASS_DATA;
    data[1].kind = CYR_VALUE;
    data[1].data = text;
    data[1].length = sizeof text;
    out[1].kind = CYR_VALUE;
    out[1].data = digest;
    out[1].length = sizeof digest;
    if (CYR_DigestInit(mechanism) != CYR_OK) return 1;
    if (CYR_Digest(mechanism, data, out) != CYR_OK) return 2;
    if (digest[0] != 0xa9 || digest[19] != 0x9d) return 3;
    if (strcmp(CYR_GetErrorString(CYR_ARGUMENTS_BAD), "CYR_ARGUMENTS_BAD") != 0) return 4;
    return 0;
}
