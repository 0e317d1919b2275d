#!/usr/bin/env python3
"""Generates the status-code name table behind DxErrorText.

The names are the identifiers under which the Windows headers of MinGW-w64
define their status codes (winerror.h, vfwmsgs.h and the multimedia headers),
followed by the codes Klemora's own media layer returns: FFmpeg's AVERROR_*
values (from libavutil/error.h) and AVERROR(errno), named after the errno.

Where several names share one code, the first of these wins: a name defined
as an HRESULT over one defined as a plain number (so 0 is "S_OK", not
"ERROR_SUCCESS"), a name with its own value over an alias of another name,
then the header order below, then the shorter name (so 0 is "S_OK", not
"SEC_E_OK"), then the order inside the header.

Usage:
  gen_dx_error_table.py --mingw-include DIR [--averror-header FILE] --output FILE
  gen_dx_error_table.py ... --check FILE   (exit 1 when FILE differs from the output)
"""
import argparse
import errno
import os
import re
import sys

# The headers in priority order, each with the names it contributes: None takes
# every status code of the header, otherwise a regular expression of names.
MULTIMEDIA_FAMILIES = (r"^(DD_OK|DD_FALSE|DDERR_|D3D_OK|D3DOK_|D3DERR_|D3DXERR_|D3DXFERR_|DXFILEERR_"
                       r"|DS_OK|DS_NO_VIRTUALIZATION|DS_INCOMPLETE|DSERR_|DMUS_S_|DMUS_E_"
                       r"|DPN_OK|DPNSUCCESS_|DPNERR_|DV_OK|DV_FULLDUPLEX|DV_HALFDUPLEX|DV_PENDING|DVERR_"
                       r"|XACT_E_|XACT_S_|XACTENGINE_E_|XACTENGINE_S_|D3D10_ERROR_|D3D11_ERROR_"
                       r"|DXGI_ERROR_|DXGI_STATUS_)")
HEADERS = [
    ("winerror.h", None),
    ("vfwmsgs.h", None),
    ("ddraw.h", MULTIMEDIA_FAMILIES),
    ("d3d8.h", MULTIMEDIA_FAMILIES),
    ("d3d9.h", MULTIMEDIA_FAMILIES),
    ("d3dx9.h", MULTIMEDIA_FAMILIES),
    ("d3dx9xof.h", MULTIMEDIA_FAMILIES),
    ("d3d10.h", MULTIMEDIA_FAMILIES),
    ("d3d11.h", MULTIMEDIA_FAMILIES),
    ("dxgi.h", MULTIMEDIA_FAMILIES),
    ("dsound.h", MULTIMEDIA_FAMILIES),
    ("dmerror.h", MULTIMEDIA_FAMILIES),
    ("dplay8.h", MULTIMEDIA_FAMILIES),
    ("wbemcli.h", r"^(WBEM_E_|WBEM_S_|WBEMESS_E_|WBEMMOF_E_)"),
    ("dvoice.h", MULTIMEDIA_FAMILIES),
    ("xact.h", MULTIMEDIA_FAMILIES),
    ("xact3.h", MULTIMEDIA_FAMILIES),
]
# Names in the status-code headers that are not status codes.
NOT_A_CODE = re.compile(r"^(_|FACILITY_|SEVERITY_|WINAPI|__)")

CAST = re.compile(r"\(\s*(?:(?:unsigned|signed)\s+)?(?:HRESULT|SCODE|DWORD|LONG|ULONG|__LONG32|long|int|"
                  r"UINT|short|char)?\s*\)|\(\s*(?:unsigned|signed)\s*\)")
NUMBER = re.compile(r"\b(0[xX][0-9a-fA-F]+|\d+)[uUlL]*\b")
CHAR = re.compile(r"'(\\?.)'")
DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)(\(([^)]*)\))?\s*(.*)$")
ENUMERATOR = re.compile(r"^\s*([A-Z][A-Z0-9_]*)\s*=\s*(.+?)\s*,?\s*(?://.*)?$")


class Macro:
    def __init__(self, params, body):
        self.params = params
        self.body = body


def logical_lines(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    return text.replace("\\\n", " ").split("\n")


def read_header(path):
    """Object-like and function-like defines, and enumerators, in file order."""
    defines, enumerators = [], []
    with open(path, encoding="latin-1") as f:
        for line in logical_lines(f.read()):
            m = DEFINE.match(line)
            if m:
                params = [p.strip() for p in m.group(3).split(",")] if m.group(2) else None
                defines.append((m.group(1), params, m.group(4).strip()))
                continue
            m = ENUMERATOR.match(line)
            if m:
                enumerators.append((m.group(1), m.group(2)))
    return defines, enumerators


def split_args(text, start):
    """Arguments of a macro call whose '(' is at text[start]; (args, end)."""
    depth, args, current = 0, [], ""
    for i in range(start, len(text)):
        c = text[i]
        if c == "(":
            depth += 1
            if depth == 1:
                continue
        elif c == ")":
            depth -= 1
            if depth == 0:
                args.append(current.strip())
                return args, i + 1
        elif c == "," and depth == 1:
            args.append(current.strip())
            current = ""
            continue
        current += c
    raise ValueError("unbalanced call")


def expand(expr, macros, depth=0):
    if depth > 40:
        raise ValueError("too deep")
    out, i = "", 0
    while i < len(expr):
        m = re.match(r"[A-Za-z_]\w*", expr[i:])
        if not m or (i > 0 and (expr[i - 1].isalnum() or expr[i - 1] == "_")):
            out += expr[i]
            i += 1
            continue
        name = m.group(0)
        i += len(name)
        macro = macros.get(name)
        if macro is None:
            out += name
            continue
        if macro.params is None:
            out += "(" + expand(macro.body, macros, depth + 1) + ")"
            continue
        j = i
        while j < len(expr) and expr[j].isspace():
            j += 1
        if j >= len(expr) or expr[j] != "(":
            out += name
            continue
        args, i = split_args(expr, j)
        body = macro.body
        for param, arg in zip(macro.params, args):
            body = re.sub(r"\b%s\b" % re.escape(param), "(" + arg + ")", body)
        out += "(" + expand(body, macros, depth + 1) + ")"
    return out


def evaluate(expr, macros):
    """The 32-bit value of a constant expression, or None."""
    try:
        text = expand(expr, macros)
    except ValueError:
        return None
    text = CHAR.sub(lambda m: str(ord(m.group(1)[-1])), text)
    previous = None
    while previous != text:
        previous = text
        text = CAST.sub(" ", text)
    text = NUMBER.sub(lambda m: str(int(m.group(1), 0)), text)
    if re.search(r"[A-Za-z_\"]", text) or not re.search(r"\d", text):
        return None
    text = text.replace("&&", " and ").replace("||", " or ").replace("/", "//")
    try:
        value = eval(text, {"__builtins__": {}})
    except Exception:
        return None
    return value & 0xFFFFFFFF if isinstance(value, int) else None


def is_alias(body):
    return re.fullmatch(r"\(?\s*[A-Za-z_]\w*\s*\)?", body) is not None


def hresult_typed(body):
    return re.search(r"HRESULT|MAKE_\w*\(|SCODE", body) is not None


def collect_platform(include_dir, candidates):
    # _mingw_mac.h defines this one, with a suffix the evaluation drops anyway.
    # HRESULT_FROM_WIN32 is an inline function there; the headers apply it to
    # positive system codes only.
    macros = {"__MSABI_LONG": Macro(["x"], "x"),
              "HRESULT_FROM_WIN32": Macro(["x"], "(((x) & 0xFFFF) | 0x80070000)")}
    order = 0
    for index, (header, family) in enumerate(HEADERS):
        path = os.path.join(include_dir, header)
        if not os.path.exists(path):
            continue
        defines, enumerators = read_header(path)
        for name, params, body in defines:
            macros.setdefault(name, Macro(params, body))
        entries = [(n, b) for n, p, b in defines if p is None] + (enumerators if family else [])
        for name, body in entries:
            if NOT_A_CODE.match(name) or (family and not re.match(family, name)):
                continue
            value = evaluate(body, macros)
            if value is None:
                continue
            rank = (0 if hresult_typed(body) else 1) + (2 if is_alias(body) else 0)
            candidates.append((value, rank, index, len(name), order, name))
            order += 1


def collect_media_layer(averror_header, candidates):
    base = 1_000_000  # after every platform name
    if averror_header:
        macros = {
            "MKTAG": Macro(["a", "b", "c", "d"], "((a) | ((b) << 8) | ((c) << 16) | ((d) << 24))"),
            "FFERRTAG": Macro(["a", "b", "c", "d"], "(-(MKTAG(a, b, c, d)))"),
        }
        defines, _ = read_header(averror_header)
        for i, (name, params, body) in enumerate(defines):
            if params is None and name.startswith("AVERROR_"):
                value = evaluate(body, macros)
                if value is not None:
                    candidates.append((value, 4, base, 0, i, name))
    for number, name in sorted(errno.errorcode.items()):
        candidates.append(((-number) & 0xFFFFFFFF, 5, base, 0, number, name))


def render(candidates, sources):
    best = {}
    for candidate in sorted(candidates):
        best.setdefault(candidate[0], candidate[-1])
    lines = [
        "// Generated by scripts/gen_dx_error_table.py from " + ", ".join(sources) + "; do not edit.",
        "#include \"app/error_text.h\"",
        "",
        "namespace klemora::app {",
        "",
        "// Sorted by code, one name per code.",
        "static const DxErrorEntry kTable[] = {",
    ]
    lines += ["    {0x%08Xu, \"%s\"}," % (value, best[value]) for value in sorted(best)]
    lines += [
        "};",
        "",
        "std::span<const DxErrorEntry> dxErrorTable() { return kTable; }",
        "",
        "}  // namespace klemora::app",
        "",
    ]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mingw-include", required=True)
    parser.add_argument("--averror-header")
    parser.add_argument("--output")
    parser.add_argument("--check")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.mingw_include, "winerror.h")):
        sys.exit("winerror.h not found in " + args.mingw_include)
    candidates = []
    collect_platform(args.mingw_include, candidates)
    collect_media_layer(args.averror_header, candidates)
    sources = ["the MinGW-w64 headers", "libavutil/error.h", "errno"]
    text = render(candidates, sources)
    if args.check:
        with open(args.check, encoding="utf-8") as f:
            if f.read() != text:
                sys.exit(args.check + " is not what the headers give; regenerate it")
    if args.output:
        tmp = args.output + ".tmp"
        with open(tmp, "w", encoding="utf-8") as f:
            f.write(text)
        os.replace(tmp, args.output)


if __name__ == "__main__":
    main()
