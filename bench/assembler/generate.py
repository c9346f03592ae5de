#!/usr/bin/env python3
"""Writes sources of an exact line count for ZernAsm, gpasm, avra and GNU as.

Each block of eight lines holds a label, immediates, an ALU operation, a
backward and a forward branch, a call and a data word, so every tool sees the
same mix of work per line.
"""
import sys


def zernasm(block):
    return [
        f"L{block}: MOVE A[1], #{block % 256}",
        f" ADD #{(block * 3) % 200}",
        f" MOVE DP[0], #{(block * 7) % 65536}",
        " AND A[2]",
        f" JUMP Z, L{block}",
        f" JUMP L{block + 1}",
        f" CALL L{block}",
        f" DW {block % 65536}",
    ]


def gpasm(block):
    return [
        f"L{block}: movlw 0x{block % 256:02X}",
        f" addlw 0x{(block * 3) % 200:02X}",
        f" movwf 0x{(block * 7) % 128:02X}, 0",
        " andwf 0x21, W, 0",
        f" bz L{block}",
        f" bra L{block + 1}",
        f" rcall L{block}",
        f" dw 0x{block % 65536:04X}",
    ]


def avra(block):
    return [
        f"L{block}: ldi r16, {block % 256}",
        f" subi r16, {(block * 3) % 200}",
        f" ldi r30, low({(block * 7) % 65536})",
        " and r16, r17",
        f" breq L{block}",
        f" rjmp L{block + 1}",
        f" rcall L{block}",
        f" .dw {block % 65536}",
    ]


def gas(block):
    # x86-64 in AT&T syntax: the same mix of work per line.
    return [
        f"L{block}: mov ${block % 256}, %eax",
        f" add ${(block * 3) % 200}, %eax",
        f" mov ${(block * 7) % 65536}, %edx",
        " and %ebx, %eax",
        f" jz L{block}",
        f" jmp L{block + 1}",
        f" call L{block}",
        f" .word {block % 65536}",
    ]


HEADERS = {
    "zernasm": [],
    "gpasm": [" list p=18f97j60", " org 0"],
    "avra": [".device ATmega2560", ".cseg"],
    "gas": [],
}
FOOTERS = {"zernasm": [" END"], "gpasm": [" end"], "avra": [], "gas": []}
BLOCKS = {"zernasm": zernasm, "gpasm": gpasm, "avra": avra, "gas": gas}


def generate(tool, lines):
    head, foot = HEADERS[tool], FOOTERS[tool]
    body = []
    block = 0
    while len(head) + len(body) + len(foot) + 1 < lines:
        body.extend(BLOCKS[tool](block))
        block += 1
    body = body[: lines - len(head) - len(foot) - 1]
    # The last forward branch needs its target.
    body.append(f"L{block}:" + (" nop" if tool != "zernasm" else " NOP"))
    return "\n".join(head + body + foot) + "\n"


def main():
    tool, lines, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    text = generate(tool, lines)
    assert text.count("\n") == lines, (tool, text.count("\n"))
    with open(path, "w") as out:
        out.write(text)


if __name__ == "__main__":
    main()
