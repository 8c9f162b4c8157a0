"""The graph's layout from the program's own render/graph_layout.h: each
`constexpr int kName = expression;` of it as LAYOUT.kName, for the tests and
the scripts. Run, it prints them as shell assignments (kGraphUnitsWide=700)."""
import os
import re
import types

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "render", "graph_layout.h")


def read(path=HEADER):
    with open(path) as f:
        found = re.findall(r"constexpr int (k\w+) = ([^;]+);", f.read())
    values = {}
    for name, expression in found:
        values[name] = eval(expression, {}, values)  # sums of the names above it
    return types.SimpleNamespace(**values)


LAYOUT = read()

if __name__ == "__main__":
    print("\n".join(f"{name}={value}" for name, value in vars(LAYOUT).items()))
