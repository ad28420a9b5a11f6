"""Checks a released PAD against its source, independently of padsign:
    padsign_release_check.py SOURCE RELEASED INSTALLER_SIZE SHA256_HEX
The updater's rule (the text between the first "<Tag>" and the next "</Tag>")
must give the installer's values, and apart from the values of the four size
and digest fields (and an added File_SHA256 element) every byte must be the
source's. Prints one line per problem; exit status 1 when there is any."""
import re
import sys

source = open(sys.argv[1], "rb").read()
released = open(sys.argv[2], "rb").read()
size = int(sys.argv[3])
digest = sys.argv[4].encode()
TAGS = [b"File_Size_Bytes", b"File_Size_K", b"File_Size_MB", b"File_SHA256"]
expected = {
    b"File_Size_Bytes": str(size).encode(),
    b"File_Size_K": str(size // 1024).encode(),
    b"File_Size_MB": ("%.2f" % (size / 1048576)).encode(),
    b"File_SHA256": digest,
}
problems = []


def updater_value(doc, tag):
    start = doc.find(b"<" + tag + b">")
    if start < 0:
        return None
    start += len(tag) + 2
    end = doc.find(b"</" + tag + b">", start)
    return None if end < 0 else doc[start:end]


def has_tag(doc, tag):
    return re.search(rb"<" + tag + rb"(>|\s*/>)", doc) is not None


for tag in TAGS:
    if tag in (b"File_Size_K", b"File_Size_MB") and not has_tag(source, tag):
        continue  # not added when missing
    value = updater_value(released, tag)
    if value != expected[tag]:
        problems.append("%s reads %r, expected %r" % (tag.decode(), value, expected[tag]))


def without_values(doc):
    for tag in TAGS:
        empty = b"<" + tag + b"></" + tag + b">"
        doc = re.sub(rb"<" + tag + rb"\s*/>", empty, doc)
        doc = re.sub(rb"<" + tag + rb">[^<]*</" + tag + rb">", empty, doc)
    doc = re.sub(rb"(?m)^[ \t]*<File_SHA256></File_SHA256>(\r\n|\n)", b"", doc)
    return doc.replace(b"<File_SHA256></File_SHA256>", b"")


if without_values(source) != without_values(released):
    problems.append("bytes other than the size and digest values changed")

# An added digest stands where the size stands: on a line of its own with
# the same indentation and line ending, or directly after the size element.
size_element = re.search(rb"<File_Size_Bytes(>[^<]*</File_Size_Bytes>|\s*/>)", source)
if size_element and not has_tag(source, b"File_SHA256"):
    line_start = max(source.rfind(b"\n", 0, size_element.start()), source.rfind(b"\r", 0, size_element.start())) + 1
    indent = source[line_start:size_element.start()]
    line_end = re.match(rb"[ \t]*(\r\n|\n)", source[size_element.end():])
    if re.fullmatch(rb"[ \t]*", indent) and line_end:
        pattern = (rb"(?m)^" + re.escape(indent) + rb"<File_Size_Bytes>[^<]*</File_Size_Bytes>[ \t]*"
                   + re.escape(line_end.group(1)) + re.escape(indent) + rb"<File_SHA256>")
    else:
        pattern = rb"</File_Size_Bytes><File_SHA256>"
    if not re.search(pattern, released):
        problems.append("the added File_SHA256 is not placed like its File_Size_Bytes")

for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
