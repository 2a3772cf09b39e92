/* The survey batch written with the C library alone, the baseline that
 * bench/batch_compare.py times `tavrin batch` against: fgets, strtod, the
 * calculator's formula in double arithmetic, printf "%.17g" and "%.1f".
 * Reads comma-separated n,a,v,i lines (a header line is skipped) from the
 * file named by its argument and writes n,a,v,i,rho,text lines. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The calculator's single-precision pi, widened. */
static const double kPi = 3.1415901184082031;

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: batch_baseline FILE\n");
    return 2;
  }
  FILE* in = fopen(argv[1], "r");
  if (in == NULL) {
    perror(argv[1]);
    return 2;
  }
  char line[4096];
  char* fields[4];
  int first = 1;
  puts("n,a,v,i,rho,text");
  while (fgets(line, sizeof line, in) != NULL) {
    if (first) { /* the header */
      first = 0;
      continue;
    }
    line[strcspn(line, "\r\n")] = '\0';
    char* p = line;
    int count = 0;
    while (count < 4) {
      fields[count++] = p;
      p = strchr(p, ',');
      if (p == NULL) break;
      *p++ = '\0';
    }
    if (count < 4) {
      fprintf(stderr, "line skipped\n");
      continue;
    }
    const double n = strtod(fields[0], NULL);
    const double a = strtod(fields[1], NULL);
    const double v = strtod(fields[2], NULL);
    const double i = strtod(fields[3], NULL);
    const double rho = v * kPi / i * n * (1 + n) * a;
    printf("%s,%s,%s,%s,%.17g,%.1f\n", fields[0], fields[1], fields[2], fields[3], rho, rho);
  }
  fclose(in);
  return 0;
}
