/* iconv for Windows: see iconv.h.
 *
 * Every conversion goes one character at a time through a Unicode code
 * point: decoded from the source (UTF-8, UTF-16LE, UCS-2LE by hand, a code
 * page through MultiByteToWideChar), encoded into the target (by hand, or
 * through WideCharToMultiByte). A character is taken whole or not at all, so
 * that on any failure *inbuf points at the character that stopped it, as
 * POSIX asks. */
#include "iconv.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

enum kind { KIND_UTF8, KIND_UTF16LE, KIND_UCS2LE, KIND_CODEPAGE };

struct side {
    enum kind kind;
    UINT codePage;
    int doubleByte;
    /* Single-byte code pages (and the single bytes of a double-byte one):
     * each byte's character, when the code page defines one. */
    WCHAR single[256];
    unsigned char singleValid[256];
    unsigned char lead[256];
};

#define CONVERTER_MAGIC 0x76636e76u

struct converter {
    unsigned magic;
    struct side from;
    struct side to;
};

/* Longest encoding name taken (iconv's names are short). */
#define NAME_ROOM 48

struct namedPage {
    const char* name;
    UINT codePage;
};

/* The names iconv (and the Access library's table of code pages) gives
 * code pages that do not read "CPnnnn", "WINDOWS-nnnn" or "IBMnnn". */
static const struct namedPage kNamedPages[] = {
    {"ISO-8859-1", 28591}, {"ISO-8859-2", 28592},  {"ISO-8859-3", 28593},  {"ISO-8859-4", 28594},
    {"ISO-8859-5", 28595}, {"ISO-8859-6", 28596},  {"ISO-8859-7", 28597},  {"ISO-8859-8", 28598},
    {"ISO-8859-9", 28599}, {"ISO-8859-13", 28603}, {"ISO-8859-15", 28605}, {"LATIN1", 28591},
    {"ASCII", 20127},      {"US-ASCII", 20127},    {"KOI8-R", 20866},      {"KOI8-U", 21866},
    {"SHIFT-JIS", 932},    {"SHIFT_JIS", 932},     {"SJIS", 932},          {"BIG-5", 950},
    {"BIG5", 950},         {"EUC-JP", 20932},      {"EUC-KR", 51949},      {"EUC-CN", 936},
    {"GB2312", 936},       {"GBK", 936},
};

/* The number after `prefix` at the start of `name`, or 0. */
static UINT numberAfter(const char* name, const char* prefix) {
    const size_t length = strlen(prefix);
    if (strncmp(name, prefix, length) != 0 || name[length] == '\0') {
        return 0;
    }
    UINT number = 0;
    for (const char* p = name + length; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9' || number > 100000) {
            return 0;
        }
        number = number * 10 + (UINT)(*p - '0');
    }
    return number;
}

static int setCodePage(struct side* side, UINT codePage) {
    CPINFO info;
    if (codePage == CP_UTF8) {
        side->kind = KIND_UTF8;
        return 1;
    }
    if (codePage == 1200) {
        side->kind = KIND_UTF16LE;
        return 1;
    }
    /* Code pages of longer sequences (GB18030, the ISO-2022 family, UTF-7)
     * are converted with shift states or flags this converter does not
     * keep: refused. */
    if (!IsValidCodePage(codePage) || !GetCPInfo(codePage, &info) || info.MaxCharSize > 2) {
        return 0;
    }
    side->kind = KIND_CODEPAGE;
    side->codePage = codePage;
    side->doubleByte = info.MaxCharSize == 2;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) {
            side->lead[b] = 1;
        }
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = (char)b;
        if (!side->lead[b] && MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &byte, 1,
                                                  &side->single[b], 1) == 1) {
            side->singleValid[b] = 1;
        }
    }
    return 1;
}

static int setSide(struct side* side, const char* code) {
    char name[NAME_ROOM];
    size_t length = strlen(code);
    if (length == 0 || length >= NAME_ROOM) {
        return 0;
    }
    for (size_t i = 0; i <= length; ++i) {
        const char c = code[i];
        name[i] = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    }
    if (strcmp(name, "UTF-8") == 0 || strcmp(name, "UTF8") == 0) {
        side->kind = KIND_UTF8;
        return 1;
    }
    if (strcmp(name, "UTF-16LE") == 0 || strcmp(name, "UTF16LE") == 0) {
        side->kind = KIND_UTF16LE;
        return 1;
    }
    if (strcmp(name, "UCS-2LE") == 0 || strcmp(name, "UCS2LE") == 0) {
        side->kind = KIND_UCS2LE;
        return 1;
    }
    for (size_t i = 0; i < sizeof kNamedPages / sizeof kNamedPages[0]; ++i) {
        if (strcmp(name, kNamedPages[i].name) == 0) {
            return setCodePage(side, kNamedPages[i].codePage);
        }
    }
    static const char* const kPrefixes[] = {"CP", "WINDOWS-", "IBM", "MS"};
    for (size_t i = 0; i < sizeof kPrefixes / sizeof kPrefixes[0]; ++i) {
        const UINT codePage = numberAfter(name, kPrefixes[i]);
        if (codePage != 0) {
            return setCodePage(side, codePage);
        }
    }
    return 0;
}

iconv_t iconv_open(const char* tocode, const char* fromcode) {
    struct converter* converter;
    if (tocode == NULL || fromcode == NULL) {
        errno = EINVAL;
        return (iconv_t)-1;
    }
    converter = (struct converter*)calloc(1, sizeof *converter);
    if (converter == NULL) {
        errno = ENOMEM;
        return (iconv_t)-1;
    }
    if (!setSide(&converter->from, fromcode) || !setSide(&converter->to, tocode)) {
        free(converter);
        errno = EINVAL;
        return (iconv_t)-1;
    }
    converter->magic = CONVERTER_MAGIC;
    return converter;
}

int iconv_close(iconv_t cd) {
    struct converter* converter = (struct converter*)cd;
    if (cd == (iconv_t)-1 || converter == NULL || converter->magic != CONVERTER_MAGIC) {
        errno = EBADF;
        return -1;
    }
    converter->magic = 0;
    free(converter);
    return 0;
}

/* The first character of `in` (`left` bytes, at least one): the bytes it
 * takes, or -EINVAL when it is cut off at the end, -EILSEQ when invalid. A
 * sequence is judged cut off when the bytes there are continuation bytes,
 * as glibc and GNU libiconv judge it: an overlong form or a surrogate shows
 * once whole. */
static int decodeUtf8(const unsigned char* in, size_t left, unsigned* code) {
    const unsigned char first = in[0];
    int need;
    unsigned value;
    unsigned lowest;
    if (first < 0x80) {
        *code = first;
        return 1;
    }
    if (first >= 0xc2 && first <= 0xdf) {
        need = 2;
        value = first & 0x1f;
        lowest = 0x80;
    } else if (first >= 0xe0 && first <= 0xef) {
        need = 3;
        value = first & 0x0f;
        lowest = 0x800;
    } else if (first >= 0xf0 && first <= 0xf4) {
        need = 4;
        value = first & 0x07;
        lowest = 0x10000;
    } else {
        return -EILSEQ;
    }
    for (int i = 1; i < need; ++i) {
        if ((size_t)i >= left) {
            return -EINVAL;
        }
        if ((in[i] & 0xc0) != 0x80) {
            return -EILSEQ;
        }
        value = (value << 6) | (in[i] & 0x3f);
    }
    if (value < lowest || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff)) {
        return -EILSEQ;
    }
    *code = value;
    return need;
}

static int decodeUtf16(const unsigned char* in, size_t left, int pairs, unsigned* code) {
    unsigned unit;
    unsigned low;
    if (left < 2) {
        return -EINVAL;
    }
    unit = in[0] | ((unsigned)in[1] << 8);
    if (unit < 0xd800 || unit > 0xdfff) {
        *code = unit;
        return 2;
    }
    if (!pairs || unit > 0xdbff) {
        return -EILSEQ;
    }
    if (left < 4) {
        return -EINVAL;
    }
    low = in[2] | ((unsigned)in[3] << 8);
    if (low < 0xdc00 || low > 0xdfff) {
        return -EILSEQ;
    }
    *code = 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00);
    return 4;
}

static int decodeCodePage(const struct side* side, const unsigned char* in, size_t left,
                          unsigned* code) {
    WCHAR wide[2];
    int made;
    if (!side->lead[in[0]]) {
        if (!side->singleValid[in[0]]) {
            return -EILSEQ;
        }
        *code = side->single[in[0]];
        return 1;
    }
    if (left < 2) {
        return -EINVAL;
    }
    made = MultiByteToWideChar(side->codePage, MB_ERR_INVALID_CHARS, (const char*)in, 2, wide, 2);
    if (made == 1 && (wide[0] < 0xd800 || wide[0] > 0xdfff)) {
        *code = wide[0];
        return 2;
    }
    if (made == 2 && wide[0] >= 0xd800 && wide[0] <= 0xdbff && wide[1] >= 0xdc00 &&
        wide[1] <= 0xdfff) {
        *code = 0x10000 + (((unsigned)wide[0] - 0xd800) << 10) + ((unsigned)wide[1] - 0xdc00);
        return 2;
    }
    return -EILSEQ;
}

static int decode(const struct side* side, const unsigned char* in, size_t left, unsigned* code) {
    switch (side->kind) {
    case KIND_UTF8:
        return decodeUtf8(in, left, code);
    case KIND_UTF16LE:
        return decodeUtf16(in, left, 1, code);
    case KIND_UCS2LE:
        return decodeUtf16(in, left, 0, code);
    case KIND_CODEPAGE:
        return decodeCodePage(side, in, left, code);
    }
    return -EILSEQ;
}

/* `code` in the target's bytes, into `out` (room for 4): how many, or
 * -EILSEQ when the target has no such character. */
static int encode(const struct side* side, unsigned code, unsigned char* out) {
    switch (side->kind) {
    case KIND_UTF8:
        if (code < 0x80) {
            out[0] = (unsigned char)code;
            return 1;
        }
        if (code < 0x800) {
            out[0] = (unsigned char)(0xc0 | (code >> 6));
            out[1] = (unsigned char)(0x80 | (code & 0x3f));
            return 2;
        }
        if (code < 0x10000) {
            out[0] = (unsigned char)(0xe0 | (code >> 12));
            out[1] = (unsigned char)(0x80 | ((code >> 6) & 0x3f));
            out[2] = (unsigned char)(0x80 | (code & 0x3f));
            return 3;
        }
        out[0] = (unsigned char)(0xf0 | (code >> 18));
        out[1] = (unsigned char)(0x80 | ((code >> 12) & 0x3f));
        out[2] = (unsigned char)(0x80 | ((code >> 6) & 0x3f));
        out[3] = (unsigned char)(0x80 | (code & 0x3f));
        return 4;
    case KIND_UCS2LE:
        if (code > 0xffff) {
            return -EILSEQ;
        }
        /* fall through */
    case KIND_UTF16LE:
        if (code < 0x10000) {
            out[0] = (unsigned char)(code & 0xff);
            out[1] = (unsigned char)(code >> 8);
            return 2;
        } else {
            const unsigned high = 0xd800 + ((code - 0x10000) >> 10);
            const unsigned low = 0xdc00 + ((code - 0x10000) & 0x3ff);
            out[0] = (unsigned char)(high & 0xff);
            out[1] = (unsigned char)(high >> 8);
            out[2] = (unsigned char)(low & 0xff);
            out[3] = (unsigned char)(low >> 8);
            return 4;
        }
    case KIND_CODEPAGE: {
        WCHAR wide[2];
        int units = 1;
        BOOL defaulted = FALSE;
        char bytes[4];
        int made;
        if (code < 0x10000) {
            wide[0] = (WCHAR)code;
        } else {
            wide[0] = (WCHAR)(0xd800 + ((code - 0x10000) >> 10));
            wide[1] = (WCHAR)(0xdc00 + ((code - 0x10000) & 0x3ff));
            units = 2;
        }
        /* No best fit: a character the code page lacks is an error, as in
         * iconv without //TRANSLIT, never a look-alike. */
        made = WideCharToMultiByte(side->codePage, WC_NO_BEST_FIT_CHARS, wide, units, bytes,
                                   sizeof bytes, NULL, &defaulted);
        if (made <= 0 || defaulted) {
            return -EILSEQ;
        }
        memcpy(out, bytes, (size_t)made);
        return made;
    }
    }
    return -EILSEQ;
}

size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft) {
    struct converter* converter = (struct converter*)cd;
    const unsigned char* in;
    size_t inLeft;
    unsigned char* out;
    size_t outLeft;
    int error = 0;
    if (cd == (iconv_t)-1 || converter == NULL || converter->magic != CONVERTER_MAGIC) {
        errno = EBADF;
        return (size_t)-1;
    }
    /* A reset to the initial state: these encodings have no other. */
    if (inbuf == NULL || *inbuf == NULL) {
        return 0;
    }
    in = (const unsigned char*)*inbuf;
    inLeft = inbytesleft != NULL ? *inbytesleft : 0;
    out = outbuf != NULL ? (unsigned char*)*outbuf : NULL;
    outLeft = out != NULL && outbytesleft != NULL ? *outbytesleft : 0;
    while (inLeft > 0) {
        unsigned code = 0;
        unsigned char bytes[4];
        const int used = decode(&converter->from, in, inLeft, &code);
        int made;
        if (used < 0) {
            error = -used;
            break;
        }
        made = encode(&converter->to, code, bytes);
        if (made < 0) {
            error = -made;
            break;
        }
        if ((size_t)made > outLeft) {
            error = E2BIG;
            break;
        }
        memcpy(out, bytes, (size_t)made);
        out += made;
        outLeft -= (size_t)made;
        in += used;
        inLeft -= (size_t)used;
    }
    *inbuf = (char*)in;
    if (inbytesleft != NULL) {
        *inbytesleft = inLeft;
    }
    if (out != NULL && outbytesleft != NULL) {
        *outbuf = (char*)out;
        *outbytesleft = outLeft;
    }
    if (error != 0) {
        errno = error;
        return (size_t)-1;
    }
    return 0;
}
