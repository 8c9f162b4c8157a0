"""The graph's layout from the program's own render/graph_layout.h: each
`constexpr int kName = expression;` of it as LAYOUT.kName, for the tests and
the scripts (and the option words of app/choices.h's tables, as CHOICES.Noise
and so on). Run, it prints them as shell assignments (kGraphUnitsWide=700)."""
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
with open(os.path.join(os.path.dirname(HEADER), "..", "app", "choices.h")) as f:
    CHOICES = types.SimpleNamespace(**{name: tuple(re.findall(r'\{k\w+, "[^"]*", "([^"]*)"', rows)) for name, rows
                                       in re.findall(r"k(\w+)Choices\[\] = \{(.*?)\n\};", f.read(), re.S)})

if __name__ == "__main__":
    print("\n".join(f"{name}={value}" for name, value in vars(LAYOUT).items()))
