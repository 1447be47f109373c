#!/usr/bin/env python3
"""The program's own texts, read from its sources.

Every string literal of src/ that reads as a text for the user must be listed
in tests/texts/texts.tsv, with its kind and whether it is one of the texts the
program has kept as they are since its first version ("kept") or one added
since ("added"). The added texts are checked against the program's writing
conventions; the kept ones only for being still there, unchanged.

  check_texts.py SRC_DIR TABLE          check (exit 1 on a fault)
  check_texts.py --list SRC_DIR [TABLE] print the candidates: kind, origin, text
  check_texts.py --self-test             check the checks on texts that break them
"""
import pathlib
import re
import sys

# ---------------------------------------------------------------- literals


def _decode(body):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != '\\':
            out.append(c)
            i += 1
            continue
        n = body[i + 1]
        i += 2
        simple = {'n': '\n', 'r': '\r', 't': '\t', '"': '"', "'": "'", '\\': '\\', '?': '?', '0': '\0'}
        if n == 'u':
            out.append(chr(int(body[i:i + 4], 16)))
            i += 4
        elif n == 'x':
            m = re.match(r'[0-9a-fA-F]+', body[i:])
            out.append(chr(int(m.group(0), 16)))
            i += len(m.group(0))
        elif n in simple:
            out.append(simple[n])
        else:
            out.append(n)
    return ''.join(out)


def literals(source):
    """The string literals of a C++ source, adjacent ones joined, with their line."""
    found = []
    i = 0
    n = len(source)
    line = 1
    pending = None  # (text, line) of a literal that the next one may continue
    while i < n:
        c = source[i]
        if c == '\n':
            line += 1
            i += 1
            continue
        if c.isspace():
            i += 1
            continue
        if c == '#' and source.startswith('include', i + 1):
            j = source.find('\n', i)
            i = n if j < 0 else j
            continue
        if source.startswith('//', i):
            j = source.find('\n', i)
            i = n if j < 0 else j
            continue
        if source.startswith('/*', i):
            j = source.find('*/', i + 2)
            j = n if j < 0 else j + 2
            line += source.count('\n', i, j)
            i = j
            continue
        if c == "'":
            m = re.match(r"'(\\.|[^'\\])*'", source[i:])
            i += len(m.group(0)) if m else 1
            if pending:
                found.append(pending)
                pending = None
            continue
        m = re.match(r'(u8|u|U|L)?"((?:\\.|[^"\\\n])*)"', source[i:])
        if m and (i == 0 or not (source[i - 1].isalnum() or source[i - 1] == '_')):
            text = _decode(m.group(2))
            if pending:
                pending = (pending[0] + text, pending[1])
            else:
                pending = (text, line)
            i += len(m.group(0))
            continue
        if pending:
            found.append(pending)
            pending = None
        i += 1
    if pending:
        found.append(pending)
    return found


# Not texts for the user: object names, art names, style sheets, markup, paths.
_CODE = [
    re.compile(r'^[a-z0-9_.\-/:%#*]*$'),                       # art names, keys, paths, formats
    re.compile(r'^(Tfrm|cmd|txt|lbl|btn|img|imp|pan|eff|opt|lst|grd|col|rep|bkg|chk|cbo|lnk|spn|Shape|Page|sep|tvx|tavolux)[A-Za-z0-9_%]*$'),
    re.compile(r'[{}]|\bpx\b|^\s*<|^[A-Za-z-]+:\s*[^ ]+;'),    # style sheets and markup
    re.compile(r'^Q[A-Z]\w*$|^[A-Z][a-z0-9]+[A-Z]\w*$|::|^[A-Z0-9_]*_[A-Z0-9_]*$'),  # class names, atoms
    re.compile(r'^\^|\\d|^[dMyHhms/: ]+$|^\w+\(\)$'),  # patterns, date formats, signals
    re.compile(r'^[a-z]+[A-Z]\w*$|^(box|bordo|croce)\w*$|^&\w+;$'),  # object names, entities
    re.compile(r'^[\w.\-]+\.(ini|pdf|pro|xls|xlsx|dll)$'),   # the program's files
    re.compile(r'^[^A-Za-zÀ-ÿ]*$'),                            # no letters
]


def is_candidate(text):
    if not re.search(r'[A-Za-zÀ-ÿ]{2}', text):
        return False
    return not any(p.search(text) for p in _CODE)


def candidates(src):
    for path in sorted(pathlib.Path(src).rglob('*')):
        if path.suffix not in ('.cpp', '.h') or not path.is_file():
            continue
        rel = path.relative_to(src).as_posix()
        for text, line in literals(path.read_text(encoding='utf-8')):
            if is_candidate(text):
                yield rel, line, text


# ---------------------------------------------------------------- the table


def escape(text):
    return text.replace('\\', '\\\\').replace('\t', '\\t').replace('\r', '\\r').replace('\n', '\\n')


def unescape(text):
    return re.sub(r'\\(.)', lambda m: {'t': '\t', 'r': '\r', 'n': '\n', '\\': '\\'}[m.group(1)], text)


KINDS = {
    'message': 'a warning or an error: "Attenzione: ", the fact, then the remedy',
    'notice': 'an information message',
    'question': 'a question: "Si vuole ...?"',
    'hint': 'a status hint, tooltip or description: ends with a full stop',
    'name': 'a name that assistive tools read: no final full stop',
    'caption': 'a window caption: one leading blank',
    'label': 'a caption, a button or a title on screen',
    'instruction': 'an instruction: infinitive, ends with a full stop',
    'filetitle': 'the title of a file dialog: infinitive, ends with a colon',
    'filter': 'a file dialog filter: a pattern in brackets, "Tutti i file (*.*)"',
    'piece': 'part of a text the code composes',
    'printed': 'a text printed on paper or into a file',
    'help': 'a paragraph of the help',
    'code': 'not a text for the user',
}
ORIGINS = ('kept', 'added')


def read_table(path):
    rows = []
    skipped = []
    for number, raw in enumerate(pathlib.Path(path).read_text(encoding='utf-8').splitlines(), 1):
        if not raw.strip() or raw.startswith('#'):
            continue
        fields = raw.split('\t')
        if fields[0] == 'unlisted':
            skipped.append(fields[1])
            continue
        if len(fields) != 3:
            raise SystemExit(f'{path}:{number}: expected kind, origin and text separated by tabs')
        kind, origin, text = fields
        if kind not in KINDS or origin not in ORIGINS:
            raise SystemExit(f'{path}:{number}: unknown kind or origin: {kind} {origin}')
        rows.append((number, kind, origin, unescape(text)))
    return rows, skipped


# ---------------------------------------------------------------- conventions

_INFINITIVE = re.compile(r"^\s*(?:\d+\.\s*)?[A-ZÀ-Ý][a-zà-ÿ]*(?:are|ere|ire|arsi|ersi|irsi)\b")


def first_line(text):
    return text.split('\n')[0].rstrip('\r')


def faults(kind, text):
    """What an added text of `kind` breaks of the conventions it can be checked for."""
    found = []
    if kind in ('code',):
        return found
    if 'È' in text:
        found.append('capital E with accent: write "E\'"')
    for wrong, right in (('Archivio indirizzi', 'Archivio Indirizzi'), ('Gestione etichette', 'Gestione Etichette')):
        if wrong in text:
            found.append(f'"{wrong}": write "{right}"')
    if kind != 'piece' and kind != 'caption' and text != text.strip(' '):
        found.append('leading or trailing blank')
    if '  ' in text.strip() and kind not in ('piece', 'printed'):
        found.append('two blanks in a row')
    if kind == 'message':
        if not text.startswith('Attenzione: '):
            found.append('a message begins "Attenzione: "')
        if not re.search(r'[.:]$', text):
            found.append('a message ends with a full stop')
        # The remedy follows the fact after an empty line.
        paragraphs = re.split(r'\r\n\r\n|\n\r\n\r|\n\n', text)
        if len(paragraphs) > 2:
            found.append('a message holds the fact and the remedy, no more')
    elif kind == 'notice':
        if not text.endswith('.'):
            found.append('a notice ends with a full stop')
    elif kind == 'question':
        if 'Si vuole ' not in text or not text.endswith('?'):
            found.append('a question reads "Si vuole ...?"')
    elif kind == 'hint':
        if not first_line(text).endswith('.'):
            found.append('a hint ends with a full stop')
    elif kind == 'name':
        if text.endswith('.') and not text.endswith('...'):
            found.append('a name has no final full stop')
        if text.startswith('Attenzione'):
            found.append('a name is not a message')
    elif kind == 'caption':
        if not text.startswith(' ') or text.startswith('  '):
            found.append('a window caption begins with one blank')
    elif kind == 'instruction':
        if not _INFINITIVE.search(text):
            found.append('an instruction begins with an infinitive ("Premere ...")')
        if not text.endswith('.'):
            found.append('an instruction ends with a full stop')
    elif kind == 'filetitle':
        if not _INFINITIVE.search(text) or not text.endswith(':'):
            found.append('a file dialog title is infinitive with a colon ("Selezionare il file ...:")')
    elif kind == 'filter':
        if not re.fullmatch(r'[^()]+ \(\*\.[^()]+\)(;;[^()]+ \(\*\.[^()]+\))*', text):
            found.append('a filter is a name and a pattern in brackets')
        if 'Tutti i file' in text and 'Tutti i file (*.*)' not in text:
            found.append('the filter of every file is "Tutti i file (*.*)"')
    return found


# ---------------------------------------------------------------- self-test

# (kind, text, the fault it must give, or None when it breaks nothing)
SELF_TEST = [
    ('message', "Attenzione: il file non si può scrivere.", None),
    ('message', "Il file non si può scrivere.", 'begins "Attenzione: "'),
    ('message', "attenzione: il file non si può scrivere.", 'begins "Attenzione: "'),
    ('message', "Attenzione: il file non si può scrivere", 'ends with a full stop'),
    ('message', "Attenzione: uno.\r\n\r\nDue.\r\n\r\nTre.", 'the fact and the remedy'),
    ('hint', "Salva la scheda corrente.\nCtrl+S", None),
    ('hint', "Salva la scheda corrente\nCtrl+S", 'ends with a full stop'),
    ('name', "Salva", None),
    ('name', "Salva la scheda.", 'no final full stop'),
    ('question', "Si vuole salvarlo in un file PDF?", None),
    ('question', "Salvarlo in un file PDF?", 'Si vuole'),
    ('filter', "Tutti i file (*.*)", None),
    ('filter', "File CSV o vCard (*.csv *.vcf);;Tutti i file (*.*)", None),
    ('filter', "File CSV (*.csv);;Tutti i file (*)", '"Tutti i file (*.*)"'),
    ('filter', "Documenti PDF", 'a pattern in brackets'),
    ('filetitle', "Selezionare il file da importare:", None),
    ('filetitle', " Scegli il file da importare", 'infinitive with a colon'),
    ('instruction', "Premere OK per continuare.", None),
    ('instruction', "Premi OK per continuare.", 'infinitive'),
    ('caption', " Calibrazione etichette", None),
    ('caption', "Calibrazione etichette", 'one blank'),
    ('label', "È possibile", 'capital E with accent'),
    ('name', "Archivio indirizzi", '"Archivio Indirizzi"'),
    ('name', "Gestione etichette", '"Gestione Etichette"'),
    ('label', "Nome etichetta ", 'trailing blank'),
]


def self_test():
    failures = 0
    for kind, text, expected in SELF_TEST:
        found = faults(kind, unescape(text))
        ok = (not found) if expected is None else any(expected in f for f in found)
        if not ok:
            failures += 1
            print(f'FAIL: {kind} {text!r}: expected {expected or "no fault"}, got {found}')
    print(f'{len(SELF_TEST) - failures} of {len(SELF_TEST)} self-test cases pass')
    return 1 if failures else 0


# ---------------------------------------------------------------- main


def main(argv):
    if argv and argv[0] == '--self-test':
        return self_test()
    if argv and argv[0] == '--list':
        src = argv[1]
        table = {}
        if len(argv) > 2:
            rows, _ = read_table(argv[2])
            table = {text: (kind, origin) for _, kind, origin, text in rows}
        for rel, line, text in candidates(src):
            kind, origin = table.get(text, ('?', '?'))
            print(f'{kind}\t{origin}\t{escape(text)}\t{rel}:{line}')
        return 0
    src, table_path = argv
    rows, skipped = read_table(table_path)
    problems = []
    listed = {}
    for number, kind, origin, text in rows:
        if text in listed:
            problems.append(f'{table_path}:{number}: listed twice: {escape(text)}')
        listed[text] = (number, kind, origin)
        if origin == 'added':
            for fault in faults(kind, text):
                problems.append(f'{table_path}:{number}: {fault}: {escape(text)}')
    seen = set()
    for rel, line, text in candidates(src):
        if any(rel.startswith(s) for s in skipped):
            continue
        seen.add(text)
        if text not in listed:
            problems.append(f'src/{rel}:{line}: a text not in {pathlib.Path(table_path).name} '
                            f'(add it with its kind and origin): {escape(text)}')
    for text, (number, kind, origin) in listed.items():
        if text not in seen:
            problems.append(f'{table_path}:{number}: no longer in the sources: {escape(text)}')
    for p in problems:
        print(p)
    added = sum(1 for r in rows if r[2] == 'added' and r[1] != 'code')
    kept = sum(1 for r in rows if r[2] == 'kept' and r[1] != 'code')
    print(f'{len(problems)} faults; {added} added texts and {kept} kept texts checked')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
