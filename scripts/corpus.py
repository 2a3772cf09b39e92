#!/usr/bin/env python3
"""A generated corpus of inputs for the tavrin tool, and the byte-for-byte
comparison of two builds' outputs over it.

  corpus.py generate N DIR [--seed S]   N inputs into DIR
  corpus.py run TOOL DIR OUT            TOOL's stdout, stderr and status to OUT.*
  corpus.py compare TOOL_A TOOL_B DIR   exit 0 when both give the same bytes

DIR/commands.txt holds one command line per line as `tavrin --args-from`
reads them (tab-separated, escaped): `number TEXT`, `format MASK VALUE`,
`digits COUNT VALUE`, `calc N A V I`, then `batch FILE` for the
DIR/batch-*.csv field sheets, and at the end the survey commands: `forward`
for random layered models (ideal and finite arrays, resistivities up to
1e+-300), `sounding` and `invert` for the DIR/sounding-*.csv sheets made
from such models (points or decimal commas, with and without --join). Each number, format, digits or calc line is
one input and one output line; each reading line of a sheet is one input.
The texts cover every form the reading rules know (blanks, signs, leading
zeros, points, the four exponent letters, long mantissas, exponents past
the range, the radix literals with every letter and suffix, trailing bytes,
texts without a number); the masks every section and character class; the
values the whole double range (denormals, the extremes, infinities, NaN,
ties at the rounding places).
"""
import os
import random
import shlex
import struct
import subprocess
import sys

COMMANDS = "commands.txt"
BATCH_LINES = 1000  # reading lines per field sheet
# Shares of the inputs: number, format, digits, calc, batch readings.
SHARES = (("number", 0.35), ("format", 0.30), ("digits", 0.15), ("calc", 0.10))

BLANKS = [" ", "\t", "\n"]
EXPONENT_LETTERS = "EeDd"
RADIX_LETTERS = ["B", "b", "H", "h", "O", "o", "Q", "q", ""]
RADIX_DIGITS = {"B": "01", "b": "01", "H": "0123456789ABCDEFabcdef",
                "h": "0123456789ABCDEFabcdef", "O": "01234567", "o": "01234567",
                "Q": "01234567", "q": "01234567", "": "01234567"}
RADIX_SUFFIXES = ["", "", "%", "?", "??", "???", "&", "&&", "&&&"]
TRAILERS = ["", "", "", "V", "A", "ft", " 7", ",5", "x", "+", "-", ".", "e", "E+",
            "\x01", "\xff", "#", "!", "%", "&", "..5", "e5e5"]
MASK_PIECES = ["#", "#", "#", "0", "0", ",", ".", "%", "E+0", "E-00", "e+00", "e-",
               "E+", "E", "*x", "**", "*0", "\"lit\"", "\"a;b\"", "\\;", "\\#", "\\",
               "$", "(", ")", "-", "+", " ", "A", "\"", "0.0", "#,##0", "##0.0#"]
CALCULATOR_MASK = "###.#"


def digit_run(rng, low, high):
    return "".join(rng.choice("0123456789") for _ in range(rng.randint(low, high)))


def decimal_text(rng):
    """A decimal number in any of the forms the reading rules know."""
    text = ""
    if rng.random() < 0.15:
        text += "".join(rng.choice(BLANKS) for _ in range(rng.randint(1, 3)))
    text += rng.choice(["", "", "", "+", "-"])
    if rng.random() < 0.2:
        text += "0" * rng.randint(1, 25)  # leading zeros
    kind = rng.random()
    if kind < 0.05:
        whole = digit_run(rng, 19, 400)  # beyond the 18 mantissa digits
    elif kind < 0.1:
        whole = "9" * rng.randint(17, 22)  # carries in the mantissa
    else:
        whole = digit_run(rng, 0, 12)
    text += whole
    if rng.random() < 0.5:
        text += "."
        if rng.random() < 0.2:
            text += "0" * rng.randint(1, 30)
        text += digit_run(rng, 0, 25 if rng.random() < 0.9 else 300)
    if rng.random() < 0.35:
        text += rng.choice(EXPONENT_LETTERS) + rng.choice(["", "+", "-"])
        size = rng.random()
        if size < 0.6:
            text += str(rng.randint(0, 40))
        elif size < 0.85:
            text += str(rng.randint(0, 400))
        elif size < 0.97:
            text += str(rng.randint(4900, 4990))  # the ends of the range
        else:
            text += digit_run(rng, 0, 12)  # no digits, or capped
    return text + rng.choice(TRAILERS)


def radix_text(rng):
    letter = rng.choice(RADIX_LETTERS)
    digits = RADIX_DIGITS[letter]
    count = rng.choice([0, 1, 2, 4, 8, 11, 16, 21, 22, 32, 63, 64, 65, rng.randint(1, 70)])
    body = "".join(rng.choice(digits) for _ in range(count))
    if rng.random() < 0.2 and body:
        body = rng.choice(["0", "1", "8", "F", "f", "7"]) + body
    blanks = " " * rng.randint(0, 2)
    return blanks + "&" + letter + body + rng.choice(RADIX_SUFFIXES) + rng.choice(TRAILERS)


def number_text(rng):
    r = rng.random()
    if r < 0.7:
        return decimal_text(rng)
    if r < 0.95:
        return radix_text(rng)
    return rng.choice(["", " ", "\t\n", "-", "+", ".", "-.", "e5", "V", "abc", "&", "&H",
                       "&Hg", "& H1", "--1", "+-1", "\x7f1", "0x10", "1,5"])


def double_value(rng):
    """A double across its whole range, as a text strtod reads exactly."""
    r = rng.random()
    if r < 0.3:
        bits = rng.getrandbits(64)
        value = struct.unpack("<d", struct.pack("<Q", bits))[0]
    elif r < 0.4:
        bits = rng.getrandbits(52) >> rng.randint(0, 52) | (rng.getrandbits(1) << 63)
        value = struct.unpack("<d", struct.pack("<Q", bits))[0]  # denormals
    elif r < 0.6:
        # Ties and near-ties at the places a mask keeps.
        value = (rng.randint(-10**6, 10**6) + rng.choice([0.5, 0.05, 0.25, 0.125, 0.45, 0.95])) \
            / 10 ** rng.randint(0, 4)
    elif r < 0.8:
        value = rng.uniform(-1, 1) * 10 ** rng.randint(-30, 30)
    elif r < 0.9:
        value = float(rng.randint(-10**12, 10**12))
    else:
        value = rng.choice([0.0, -0.0, float("inf"), float("-inf"), float("nan"), 1e300,
                            -1e-300, 5e-324, 1.7976931348623157e308, 2.2250738585072014e-308,
                            0.1, 0.5, 1.5, 2.5, 999.95, 314.15901184082031, 1e15, 1e16, 1e19])
    if value != value:
        return "nan"
    if value in (float("inf"), float("-inf")):
        return "inf" if value > 0 else "-inf"
    return repr(value)


def mask_section(rng):
    return "".join(rng.choice(MASK_PIECES) for _ in range(rng.randint(0, 6)))


def mask_text(rng):
    r = rng.random()
    if r < 0.15:
        return CALCULATOR_MASK
    sections = [mask_section(rng) for _ in range(rng.choice([1, 1, 2, 2, 3, 3, 4]))]
    return ";".join(sections)


def calc_inputs(rng):
    def reading():
        if rng.random() < 0.7:
            return repr(round(rng.uniform(0.01, 500), rng.randint(0, 4)))
        return number_text(rng)
    return [str(rng.randint(1, 10)) if rng.random() < 0.8 else reading()] + \
        [reading() for _ in range(3)]


def batch_field(rng):
    text = number_text(rng) if rng.random() < 0.3 else repr(round(rng.uniform(0, 300), 3))
    # Fields carry no separators or quotes; the reading rules see the rest.
    cleaned = "".join(c for c in text if c not in " \t\n,\"#\r")
    return cleaned or "0"


def batch_sheet(rng, readings):
    lines = []
    if rng.random() < 0.5:
        lines.append(rng.choice(["n,a,v,i", "N A V I", "n\ta\tv\ti"]))
    for _ in range(readings):
        if rng.random() < 0.02:
            lines.append(rng.choice(["", "# comment", "1,2", "   "]))
        separator = rng.choice([",", "\t", " ", ", "])
        lines.append(separator.join(batch_field(rng) for _ in range(rng.choice([4, 4, 4, 5]))))
    return "\n".join(lines) + "\n"


def forward_model(rng):
    """--rho and --thick of one to five layers."""
    layers = rng.randint(1, 5)
    extreme = rng.random() < 0.05
    rho = [("%.3g" % 10 ** rng.uniform(-300, 300)) if extreme else "%.4g" % 10 ** rng.uniform(-1, 4)
           for _ in range(layers)]
    thick = ["%.3g" % 10 ** rng.uniform(-1, 2) for _ in range(layers - 1)]
    words = ["--rho", ",".join(rho)]
    if thick:
        words += ["--thick", ",".join(thick)]
    return words


def forward_words(rng):
    words = forward_model(rng)
    if rng.random() < 0.3:
        words += ["--mn2", rng.choice(["0.1", "0.5", "1"])]
    if rng.random() < 0.5:
        words += ["--ab2", rng.choice(["1.5:1000:6", "2:200:10", "10:1e4:3"])]
    else:
        words += ["%g" % round(10 ** rng.uniform(0.5, 3), 2) for _ in range(rng.randint(1, 6))]
    return words


def sounding_sheet(rng, comma):
    """A sheet of two MN/2 segments from a layered model, with 3 % noise."""
    layers = rng.randint(1, 3)
    rho = [10 ** rng.uniform(0.5, 3) for _ in range(layers)]
    thick = [10 ** rng.uniform(0, 1.3) for _ in range(layers - 1)]
    depth, lines = 0.0, []
    for h in thick:
        depth += h
    separator = ";" if comma else ","
    lines.append(separator.join(["AB/2 (m)", "MN/2 (m)", "V (mV)", "I (mA)"]))
    for mn2, spacings in ((0.5, [1.5, 2, 3, 4, 6, 8, 10, 15]), (5.0, [10, 15, 20, 30, 40, 60, 80, 100])):
        for ab2 in spacings:
            # A smooth stand-in curve between the layers' resistivities.
            weight = 1 / (1 + (depth / ab2) ** 2) if thick else 0
            value = rho[0] * (1 - weight) + rho[-1] * weight
            value *= 1 + rng.uniform(-0.03, 0.03)
            k = 3.141592653589793 * (ab2 * ab2 - mn2 * mn2) / (2 * mn2)
            current = rng.choice([50, 100, 200])
            volts = value * current / k
            row = ["%g" % ab2, "%g" % mn2, "%.4g" % volts, "%d" % current]
            if comma:
                row = [field.replace(".", ",") for field in row]
            lines.append(separator.join(row))
    return "\n".join(lines) + "\n"


def survey_lines(rng, count, directory):
    lines = [("forward", forward_words(rng)) for _ in range(max(20, count // 500))]
    for k in range(4):
        path = "sounding-%d.csv" % k
        with open(os.path.join(directory, path), "w", encoding="latin-1", newline="") as f:
            f.write(sounding_sheet(rng, comma=k % 2 == 1))
        lines.append(("sounding", [path] + (["--join"] if k % 2 else [])))
        lines.append(("invert", [path, "--layers", "2" if k < 3 else "auto"] +
                      (["--json"] if k == 1 else [])))
    return lines


def escape(word):
    out = []
    for byte in word.encode("latin-1"):
        c = chr(byte)
        if c == "\\":
            out.append("\\\\")
        elif c == "\t":
            out.append("\\t")
        elif c == "\n":
            out.append("\\n")
        elif byte < 0x20 or byte >= 0x7F:
            out.append("\\x%02x" % byte)
        else:
            out.append(c)
    return "".join(out)


def generate(count, directory, seed):
    rng = random.Random(seed)
    os.makedirs(directory, exist_ok=True)
    lines = []
    for name, share in SHARES:
        for _ in range(int(count * share)):
            if name == "number":
                words = [number_text(rng)]
            elif name == "format":
                words = [mask_text(rng), double_value(rng)]
            elif name == "digits":
                wide = rng.random() < 0.01
                words = [str(rng.randint(20, 4932) if wide else rng.randint(1, 25)),
                         double_value(rng)]
            else:
                words = calc_inputs(rng)
            lines.append((name, words))
    rng.shuffle(lines)
    readings = count - len(lines)
    sheet = 0
    while readings > 0:
        path = "batch-%d.csv" % sheet
        with open(os.path.join(directory, path), "w", encoding="latin-1", newline="") as f:
            f.write(batch_sheet(rng, min(BATCH_LINES, readings)))
        lines.append(("batch", [path]))
        readings -= BATCH_LINES
        sheet += 1
    lines += survey_lines(rng, count, directory)
    with open(os.path.join(directory, COMMANDS), "w", encoding="latin-1", newline="") as f:
        for name, words in lines:
            f.write("\t".join([name] + [escape(w) for w in words]) + "\n")
    print("corpus: %d inputs, %d command lines, %d field sheets in %s"
          % (count, len(lines), sheet, directory))


def run(tool, directory):
    # TOOL may be a command line ("qemu-aarch64 -L /usr/aarch64-linux-gnu
    # build/aarch64/bin/tavrin"); paths in it hold from the caller's folder.
    words = [os.path.abspath(w) if os.path.exists(w) else w for w in shlex.split(tool)]
    result = subprocess.run(words + ["--args-from", COMMANDS], cwd=directory,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    return result.stdout, result.stderr, result.returncode


def first_difference(a, b):
    lines_a, lines_b = a.split(b"\n"), b.split(b"\n")
    for i, (x, y) in enumerate(zip(lines_a, lines_b)):
        if x != y:
            return i, x, y
    n = min(len(lines_a), len(lines_b))
    return n, b"<end>" if n >= len(lines_a) else lines_a[n], \
        b"<end>" if n >= len(lines_b) else lines_b[n]


def compare(tool_a, tool_b, directory):
    with open(os.path.join(directory, COMMANDS), "rb") as f:
        commands = f.read().split(b"\n")
    a, b = run(tool_a, directory), run(tool_b, directory)
    same = True
    for what, x, y in (("stdout", a[0], b[0]), ("stderr", a[1], b[1])):
        if x != y:
            same = False
            line, left, right = first_difference(x, y)
            print("corpus: %s differs first at line %d:\n  %s: %r\n  %s: %r"
                  % (what, line + 1, tool_a, left[:200], tool_b, right[:200]))
            if what == "stdout" and line < len(commands):
                # Before the field sheets each command line gives one output line.
                print("  command line %d: %r" % (line + 1, commands[line][:200]))
    if a[2] != b[2]:
        same = False
        print("corpus: exit status %d against %d" % (a[2], b[2]))
    print("corpus: %d stdout bytes, %d stderr bytes, %s"
          % (len(a[0]), len(a[1]), "identical" if same else "DIFFERENT"))
    return 0 if same else 1


def main(argv):
    if len(argv) >= 3 and argv[1] == "generate":
        seed = int(argv[argv.index("--seed") + 1]) if "--seed" in argv else 20261209
        generate(int(argv[2]), argv[3], seed)
        return 0
    if len(argv) == 5 and argv[1] == "run":
        out, err, status = run(argv[2], argv[3])
        for suffix, data in (("out", out), ("err", err), ("status", b"%d\n" % status)):
            with open("%s.%s" % (argv[4], suffix), "wb") as f:
                f.write(data)
        return 0
    if len(argv) == 5 and argv[1] == "compare":
        return compare(argv[2], argv[3], argv[4])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
