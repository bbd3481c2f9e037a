/* iconv for Windows, over the system's code page conversions.
 *
 * The POSIX interface (iconv_open, iconv, iconv_close, with errno set to
 * E2BIG, EILSEQ, EINVAL or EBADF on failure) for the encodings the Access
 * reading library and the import ask for: UTF-8, UTF-16LE and UCS-2LE (Jet 4
 * text), and the Windows code pages by the names iconv gives them (CP1256,
 * WINDOWS-1256, IBM437, ISO-8859-6, KOI8-R, SHIFT-JIS, BIG-5 ... and "CPnnnn",
 * "WINDOWS-nnnn", "IBMnnn" for any code page the system has). The
 * conversions are stateless; no transliteration, an unmappable character is
 * EILSEQ as in GNU iconv. */
#ifndef VELMORAN_WINDOWS_ICONV_H
#define VELMORAN_WINDOWS_ICONV_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* iconv_t;

iconv_t iconv_open(const char* tocode, const char* fromcode);
size_t iconv(iconv_t cd, char** inbuf, size_t* inbytesleft, char** outbuf, size_t* outbytesleft);
int iconv_close(iconv_t cd);

#ifdef __cplusplus
}
#endif

#endif
