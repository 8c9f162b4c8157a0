"""The graph's layout from the program's own render/graph_layout.h (each `constexpr int kName =
expression;` as LAYOUT.kName), app/choices.h's option words (CHOICES.Noise...) and the octave count,
for the tests and scripts. Run, it prints the layout as shell assignments (kGraphUnitsWide=700)."""
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


ROOT = os.path.join(os.path.dirname(HEADER), "..")
LAYOUT, OCTAVES = read(), read(os.path.join(ROOT, "noise", "noise_settings.h")).kMaxOctaveIndex + 1
with open(os.path.join(ROOT, "app", "choices.h")) as f:
    CHOICES = types.SimpleNamespace(**{name: tuple(re.findall(r'\{k\w+, "[^"]*", "([^"]*)"', rows))
                                       for name, rows in re.findall(r"k(\w+)Choices\[\] = \{(.*?)\n\};", f.read(), re.S)})

if __name__ == "__main__":
    print("\n".join(f"{name}={value}" for name, value in vars(LAYOUT).items()))
