#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into OUT/<target>/: the program's sample files and
generated documents that are deep (nesting far beyond any form) or wide (thousands of rows,
attributes and municipalities). Generated here rather than kept in the repository, which stays
small."""

import pathlib
import shutil
import sys

DEEP = 100_000
WIDE = 10_000
# Every stored column is set on every row, so the column count is kept to what stays quick.
WIDE_COLUMNS = 1_000
# The depth of a document a real form could still have, and a little beyond.
NEAR_DEEP = 300


def nested(name, depth, attrs=""):
    return f"<{name}{attrs}>" * depth + f"</{name}>" * depth


def report(rows):
    return (
        "<?xml version='1.0' encoding='windows-1251'?>"
        "<positions version='2004.1' period='03 / 2004' ob_name='x' ebk='5101' hash='1_2_3'>"
        f"<structure>{rows}</structure></positions>"
    )


def structure(rows, columns="<col id='1' protected='1' name='c'/>"):
    return (
        "<?xml version='1.0' encoding='windows-1251'?><nomenclatures version='1'>"
        f"<structure name='s'>{rows}</structure><columns>{columns}</columns>"
        "<codes><code strid='2' colid='5' item='a'/></codes></nomenclatures>"
    )


def register(rows):
    return (
        "<?xml version='1.0' encoding='windows-1251'?><xml xmlns:rs='r' xmlns:z='z'><rs:data>"
        f"{rows}</rs:data></xml>"
    )


def generated():
    row = "<str id='{0}' sumid='{1}-2' col1='1,00' col6='0' col8='0' col4='{0},50'/>"
    wide_rows = "".join(row.format(i % 30000 + 2, i % 50 + 2) for i in range(WIDE))
    many_attrs = "<str id='2' " + " ".join(f"a{i}='{i}'" for i in range(WIDE)) + "/>"
    deep_str = nested("str", DEEP, " id='2'")
    near_str = nested("str", NEAR_DEEP, " id='2'")
    return {
        "report": {
            "deep.xml": report(deep_str),
            "near_deep.xml": report(near_str),
            "wide.xml": report(wide_rows),
            "attributes.xml": report(many_attrs),
        },
        "structure": {
            "deep.xml": structure(deep_str),
            "near_deep.xml": structure(near_str),
            "wide.xml": structure(wide_rows),
            "columns.xml": structure(
                row.format(2, 2), "".join(f"<col id='{i}' protected='1'/>" for i in range(WIDE_COLUMNS))
            ),
        },
        "register": {
            "deep.xml": register(nested("z:row", DEEP, " OB_Name='a' OB_Num='1'")),
            "wide.xml": register(
                "".join(f"<z:row OB_Name='m{i}' OB_Num='{i}'/>" for i in range(WIDE))
            ),
        },
        "kvorini": {
            "wide.ini": "".join(f'"oba {i}",' for i in range(WIDE)) + "\r\n",
            "long.ini": '"' + "oba " + "9" * WIDE + '"\r\n',
        },
    }


def main(out):
    root = pathlib.Path(__file__).resolve().parent.parent
    samples = {
        "register": [root / "sample/Obshtini.xml"],
        "structure": [root / "sample/Structure.xml"],
        "report": sorted((root / "tests/data").glob("*.xml")),
        "kvorini": [root / "sample/kvor.ini"],
        "ini": [root / "sample/kvor.ini"],
        "xml": sorted((root / "sample").glob("*.xml")) + sorted((root / "tests/data").glob("*.xml")),
    }
    docs = generated()
    # Every target that reads a report sees the same reports; the plain XML target sees all.
    for reader in ("verify", "prevdata", "correction"):
        samples[reader] = samples["report"]
        docs[reader] = docs["report"]
    docs["xml"] = {f"{kind}_{name}": text for kind in ("report", "structure", "register")
                   for name, text in docs[kind].items()}
    for target in set(samples) | set(docs):
        folder = pathlib.Path(out) / target
        folder.mkdir(parents=True, exist_ok=True)
        for path in samples.get(target, []):
            shutil.copyfile(path, folder / path.name)
        for name, text in docs.get(target, {}).items():
            (folder / name).write_text(text, encoding="cp1251")


if __name__ == "__main__":
    main(sys.argv[1])
