#!/usr/bin/env python3
"""Writes src/cipher/des_sbox_circuits.h: each DES S-box as a circuit of AND,
OR, XOR and AND-NOT gates for the bitsliced block function.

How a circuit is found. Every function of the six S-box inputs is a 64-bit
truth table. A function and its complement count as one signal: AND, OR and
XOR of two signals of either polarity each cost one gate (with AND-NOT where
one operand is inverted, and De Morgan where both are), so the search only
tracks which polarity a gate yields. An output bit is built by splitting on one
input variable x at a time (Shannon): with f0 and f1 the function at x = 0 and
x = 1,
    f0 = 0, f1 = 0, f0 = 1, f1 = 1, f0 = ~f1   one gate: x & f1, ~x & f0, ...
    otherwise                                  f0 ^ (x & (f0 ^ f1)), or
                                               f1 ^ (~x & (f0 ^ f1)), or
                                               (x & f1) | (~x & f0)
and every function met on the way is remembered, so the four outputs share
whatever they have in common. Of the three general forms, each is built in a
copy of the circuit and the one that adds the fewest gates is kept. Before
splitting, a function already in reach as one gate over two remembered
signals is taken as that. The order of the variables and of the four outputs
is drawn at random over many trials (fixed seed); the smallest circuit wins.
The result is checked against the tables on all 64 inputs before it is
written.

Usage: tools/des_sbox_circuits.py [TRIALS]   (run from anywhere)
"""
import os
import random
import re
import sys

FULL = (1 << 64) - 1
HERE = os.path.dirname(os.path.abspath(__file__))
TABLES = os.path.join(HERE, "..", "src", "cipher", "des_tables.h")
OUTPUT = os.path.join(HERE, "..", "src", "cipher", "des_sbox_circuits.h")


def read_sboxes():
    """The eight S-boxes as printed in des_tables.h (kSBox), 64 entries each."""
    text = open(TABLES).read()
    body = text[text.index("kSBox[8][64]"):]
    body = body[: body.index("};")]
    numbers = [int(n) for n in re.findall(r"\b\d+\b", body)][2:]  # skip the [8][64]
    assert len(numbers) == 512
    return [numbers[64 * i: 64 * i + 64] for i in range(8)]


def var_table(i):
    """Input i (0 = the first, most significant S-box input bit)."""
    return sum(1 << v for v in range(64) if (v >> (5 - i)) & 1)


VARS = [var_table(i) for i in range(6)]


def output_tables(sbox):
    """Truth tables of the four output bits, the most significant first."""
    tables = [0, 0, 0, 0]
    for v in range(64):
        row = ((v >> 4) & 2) | (v & 1)
        column = (v >> 1) & 15
        value = sbox[row * 16 + column]
        for k in range(4):
            if (value >> (3 - k)) & 1:
                tables[k] |= 1 << v
    return tables


def cofactors(f, i):
    mask, shift = VARS[i], 1 << (5 - i)
    low, high = f & ~mask & FULL, f & mask
    return low | (low << shift), high | (high >> shift)


class Circuit:
    """Gates over the six inputs; `signals` maps a truth table to (node, inverted)."""

    def __init__(self):
        self.gates = []  # (op, (node, inv), (node, inv)); node k >= 6 is gate k - 6
        self.signals = {}
        self.values = []
        for i in range(6):
            self.remember(i, VARS[i])

    def remember(self, node, table):
        while len(self.values) <= node:
            self.values.append(None)
        self.values[node] = table
        self.signals.setdefault(table, (node, False))
        self.signals.setdefault(table ^ FULL, (node, True))

    def gate(self, op, a, b):
        """One gate: op is '&', '|' or '^' on two signals; returns the new signal."""
        (na, ia), (nb, ib) = a, b
        ta = self.values[na] ^ (FULL if ia else 0)
        tb = self.values[nb] ^ (FULL if ib else 0)
        result = {"&": ta & tb, "|": ta | tb, "^": ta ^ tb}[op]
        if result in self.signals:
            return self.signals[result]
        if op == "^":
            kind, inverted = "xor", ia != ib
            a, b = (na, False), (nb, False)
        elif op == "&":
            # ~a & ~b = ~(a | b)
            kind, inverted = ("or", True) if ia and ib else ("and", False)
            if ia and ib:
                a, b = (na, False), (nb, False)
        else:
            # ~a | ~b = ~(a & b); ~a | b = ~(a & ~b)
            if ia and ib:
                kind, inverted, a, b = "and", True, (na, False), (nb, False)
            elif ia or ib:
                kind, inverted = "and", True
                a, b = (na, not ia), (nb, not ib)
            else:
                kind, inverted = "or", False
        node = 6 + len(self.gates)
        self.gates.append((kind, a, b))
        self.remember(node, result ^ (FULL if inverted else 0))
        return self.signals[result]

    def one_gate(self, f):
        """A signal for f from one gate over two remembered signals, if there is one."""
        known = list(self.signals.items())
        for table, signal in known:
            other = f ^ table
            if other in self.signals and not signal[1]:
                return self.gate("^", signal, self.signals[other])
        above = [(t, s) for t, s in known if t & f == f and t != f]
        for i, (t1, s1) in enumerate(above):
            for t2, s2 in above[i + 1:]:
                if t1 & t2 == f:
                    return self.gate("&", s1, s2)
        below = [(t, s) for t, s in known if t | f == f and t != f]
        for i, (t1, s1) in enumerate(below):
            for t2, s2 in below[i + 1:]:
                if t1 | t2 == f:
                    return self.gate("|", s1, s2)
        return None

    def copy(self):
        other = Circuit.__new__(Circuit)
        other.gates = list(self.gates)
        other.signals = dict(self.signals)
        other.values = list(self.values)
        return other

    def build(self, f, order):
        if f in self.signals:
            return self.signals[f]
        assert f not in (0, FULL)
        found = self.one_gate(f)
        if found:
            return found
        for i in order:
            f0, f1 = cofactors(f, i)
            if f0 != f1:
                break
        rest = [j for j in order if j != i]
        x = (i, False)
        nx = (i, True)
        if f0 == 0:
            return self.gate("&", x, self.build(f1, rest))
        if f1 == 0:
            return self.gate("&", nx, self.build(f0, rest))
        if f0 == FULL:
            return self.gate("|", nx, self.build(f1, rest))
        if f1 == FULL:
            return self.gate("|", x, self.build(f0, rest))
        if f0 == f1 ^ FULL:
            return self.gate("^", x, self.build(f0, rest))
        best = None
        for form in "abc":
            trial = self.copy()
            signal = trial.split(form, i, f0, f1, rest)
            if best is None or len(trial.gates) < len(best[0].gates):
                best = (trial, signal)
        self.gates, self.signals, self.values = best[0].gates, best[0].signals, best[0].values
        return best[1]

    def split(self, form, i, f0, f1, rest):
        """f0 ^ (x & d), f1 ^ (~x & d) with d = f0 ^ f1, or (x & f1) | (~x & f0)."""
        x, nx = (i, False), (i, True)
        if form == "a":
            d = self.build(f0 ^ f1, rest)
            return self.gate("^", self.build(f0, rest), self.gate("&", x, d))
        if form == "b":
            d = self.build(f0 ^ f1, rest)
            return self.gate("^", self.build(f1, rest), self.gate("&", nx, d))
        high = self.gate("&", x, self.build(f1, rest))
        low = self.gate("&", nx, self.build(f0, rest))
        return self.gate("|", high, low)


def cost(circuit, outputs):
    return len(circuit.gates) + sum(1 for s in outputs if s[1])


def search(sbox, trials, rng):
    targets = output_tables(sbox)
    best = None
    for _ in range(trials):
        circuit = Circuit()
        shared = rng.random() < 0.5
        order = rng.sample(range(6), 6)
        outputs = [None] * 4
        for k in rng.sample(range(4), 4):
            outputs[k] = circuit.build(targets[k], order if shared else rng.sample(range(6), 6))
        if best is None or cost(circuit, outputs) < cost(*best):
            best = (circuit, outputs)
    check(best[0], best[1], targets)
    return best


def check(circuit, outputs, targets):
    for v in range(64):
        value = [(v >> (5 - i)) & 1 for i in range(6)]
        for kind, (na, ia), (nb, ib) in circuit.gates:
            a, b = value[na] ^ ia, value[nb] ^ ib
            value.append({"and": a & b, "or": a | b, "xor": a ^ b}[kind])
        for k, (node, inverted) in enumerate(outputs):
            assert value[node] ^ inverted == (targets[k] >> v) & 1


def name(node):
    return f"x{node + 1}" if node < 6 else f"t{node - 5}"


def operand(signal):
    node, inverted = signal
    return ("~" if inverted else "") + name(node)


def emit(index, circuit, outputs):
    lines = [
        f"// S{index + 1}: {len(circuit.gates)} gates"
        + (f", {sum(1 for s in outputs if s[1])} outputs inverted" if any(s[1] for s in outputs) else "")
        + ".",
        "template <typename V>",
        f"QH_DES_INLINE void Sbox{index + 1}(const V& x1, const V& x2, const V& x3, const V& x4, const V& x5, "
        "const V& x6, V& y1, V& y2, V& y3, V& y4) {",
    ]
    symbol = {"and": "&", "or": "|", "xor": "^"}
    for g, (kind, a, b) in enumerate(circuit.gates):
        # AND-NOT is written with the inverted operand first.
        if b[1] and not a[1]:
            a, b = b, a
        lines.append(f"    const V t{g + 1} = {operand(a)} {symbol[kind]} {operand(b)};")
    for k, signal in enumerate(outputs):
        lines.append(f"    y{k + 1} ^= {operand(signal)};")
    lines.append("}")
    return "\n".join(lines)


def main():
    trials = int(sys.argv[1]) if len(sys.argv) > 1 else 500
    rng = random.Random(46)
    boxes = read_sboxes()
    parts = []
    total = 0
    for i, sbox in enumerate(boxes):
        circuit, outputs = search(sbox, trials, rng)
        total += cost(circuit, outputs)
        print(f"S{i + 1}: {cost(circuit, outputs)} gates", file=sys.stderr)
        parts.append(emit(i, circuit, outputs))
    header = f"""// Generated by tools/des_sbox_circuits.py ({trials} trials per S-box); do not edit.
//
// The eight DES S-boxes as Boolean circuits over whole bit slices, for the
// bitsliced block function: Sbox<n>(x1..x6, y1..y4) XORs S<n>(x1 x2 x3 x4 x5 x6)
// into y1 y2 y3 y4 (x1 and y1 the most significant bits). V is any type with
// the bitwise operators: a 64-bit integer, or a vector of them. The circuits
// were found by splitting each output on one input at a time, keeping the
// cheapest of three ways to join the halves, and sharing the functions met on
// the way between the four outputs, with the order of the inputs drawn at
// random over many trials (see the script); {total} gates in
// all, each an AND, OR, XOR or AND-NOT (~a & b), plus one NOT per inverted
// output.
#ifndef QUILLHORN_DES_SBOX_CIRCUITS_H
#define QUILLHORN_DES_SBOX_CIRCUITS_H

#define QH_DES_INLINE inline __attribute__((always_inline))

namespace qh::des_slice {{

// clang-format off
"""
    footer = """
// clang-format on

} // namespace qh::des_slice

#endif
"""
    with open(OUTPUT, "w") as out:
        out.write(header + "\n\n".join(parts) + "\n" + footer)
    print(f"{total} gates in all", file=sys.stderr)


if __name__ == "__main__":
    main()
