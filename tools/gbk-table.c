/* Writes generate/GbkTable.inc: the Unicode character of every two-byte GBK sequence, as the
 * GNU C library's converter decodes it. vbgen's own codec uses this table on every system, so
 * Windows writes the bytes Linux wrote with iconv. Run on Linux when the table must be remade:
 *   cc -O2 tools/gbk-table.c -o /tmp/gbk-table && /tmp/gbk-table > generate/GbkTable.inc
 */
#include <iconv.h>
#include <stdio.h>

int main(void) {
  iconv_t cd = iconv_open("UTF-32LE", "GBK");
  if (cd == (iconv_t)-1) return 1;
  printf("// Made by tools/gbk-table.c from the GNU C library's GBK converter; do not edit.\n");
  printf("// Index (lead - 0x81) * 191 + (trail - 0x40); 0 where the pair is not GBK.\n");
  int count = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      unsigned char in[2] = {(unsigned char)lead, (unsigned char)trail};
      unsigned char out[8];
      char* from = (char*)in;
      char* to = (char*)out;
      size_t inLeft = 2, outLeft = sizeof out;
      iconv(cd, NULL, NULL, NULL, NULL);
      unsigned code = 0;
      if (iconv(cd, &from, &inLeft, &to, &outLeft) != (size_t)-1 && inLeft == 0 &&
          to - (char*)out == 4) {
        code = out[0] | out[1] << 8 | out[2] << 16 | (unsigned)out[3] << 24;
      }
      if (code > 0xFFFF) return 2; /* the table holds the Basic Multilingual Plane only */
      printf("0x%04X,%s", code, ++count % 12 == 0 ? "\n" : "");
    }
  }
  printf("\n");
  iconv_close(cd);
  return 0;
}
