"""Plots of a record's spread and flags, and of a batch summary (matplotlib; Agg without a display)."""
from __future__ import annotations

import os
from typing import Any

import numpy as np

# Receiver position columns, most exact first: (x, y, x label, y label), the labels with their units.
_POSITIONS = [("receiver_x", "receiver_y", "Easting (m)", "Northing (m)"),
              ("receiver_longitude", "receiver_latitude", "Longitude (degrees)", "Latitude (degrees)"),
              ("receiver_point", "receiver_line", "Receiver point (station number)", "Receiver line (line number)")]
_SOURCE = {"Easting (m)": ("source_x", "source_y"), "Longitude (degrees)": ("source_longitude", "source_latitude"),
           "Receiver point (station number)": ("source_point", "source_line")}
# Each flag's mark in the spread: an outline of its own shape, larger for each further flag, so that a
# trace with several flags shows every one of them.
_FLAG_MARKERS = ["o", "s", "^", "D", "v", "P", "X", "p", "h", "<", ">", "8"]
_FLAG_COLOURS = ["tab:red", "tab:orange", "tab:purple", "tab:brown", "tab:pink", "tab:olive", "tab:cyan",
                 "tab:blue", "gold", "magenta", "navy", "teal"]
_STATUS_COLOURS = {"ok": "tab:green", "warning": "tab:orange", "failed": "tab:red"}


def _pyplot():
    import matplotlib

    if "MPLBACKEND" not in os.environ and not (os.environ.get("DISPLAY") or os.environ.get("WAYLAND_DISPLAY")):
        matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    return plt


def _axes(ax):
    """The Axes to draw into, and whether its figure is the plot's own (laid out when done)."""
    if ax is not None:
        return ax, False
    _, ax = _pyplot().subplots(figsize=(8, 6))
    return ax, True


def _finish(ax, own):
    if own:
        ax.figure.tight_layout()
    return ax


def _numbers(values):
    try:
        return np.asarray(values, dtype=float)
    except (TypeError, ValueError):
        return np.array([_number(v) for v in values], dtype=float)


def _number(value):
    try:
        return float(value)
    except (TypeError, ValueError):
        return np.nan


def _set(traces, name):
    values = traces[name]
    return values == 1 if values.dtype.kind == "f" else values.astype(bool)


def trace_states(record):
    """Per trace: "past end", "dead", the name of the first error flag set, or "live"."""
    traces = record.traces
    states = np.full(len(traces), "live", dtype=object)
    for name in reversed(record.flag_columns):
        states[_set(traces, name)] = name
    if record.dead_column:
        states[_set(traces, record.dead_column)] = "dead"
    if "past_end" in (traces.dtype.names or ()):
        states[_set(traces, "past_end")] = "past end"
    return states


def _positions(record):
    traces = record.traces
    names = traces.dtype.names or ()
    for x, y, xlabel, ylabel in _POSITIONS:
        if x in names and y in names:
            xs, ys = _numbers(traces[x]), _numbers(traces[y])
            if np.any(np.isfinite(xs) & np.isfinite(ys) & ((xs != 0) | (ys != 0))):
                return xs, ys, xlabel, ylabel
    return None


def plot_spread(record: Any, ax: Any = None) -> Any:
    """Receiver positions (easting/northing, latitude/longitude in degrees, else line/point) of the traces
    within the file: live traces green, dead ones black, and each error flag present an outlined mark of its
    own (a trace with several flags shows each), the source marked; traces past the end of the file hold no
    position and are not drawn. Returns the Axes."""
    ax, own = _axes(ax)
    found = _positions(record)
    if found is None:
        ax.set_title(f"{os.path.basename(record.path)}: no receiver positions recorded")
        return _finish(ax, own)
    xs, ys, xlabel, ylabel = found
    traces = record.traces
    names = traces.dtype.names or ()
    past_end = _set(traces, "past_end") if "past_end" in names else np.zeros(len(traces), dtype=bool)
    shown = np.isfinite(xs) & np.isfinite(ys) & ~past_end
    dead = _set(traces, record.dead_column) if record.dead_column in names else np.zeros(len(traces), dtype=bool)
    for chosen, colour, label in ((shown & ~dead, "tab:green", "live"), (shown & dead, "black", "dead")):
        if np.any(chosen):
            ax.scatter(xs[chosen], ys[chosen], s=12, c=colour, label=f"{label} ({np.count_nonzero(chosen)})", zorder=2)
    flags = [n for n in record.flag_columns if n != record.dead_column and n in names]
    drawn = 0
    for name in flags:
        chosen = shown & _set(traces, name)
        if not np.any(chosen):
            continue
        ax.scatter(xs[chosen], ys[chosen], s=40 + 30 * drawn, marker=_FLAG_MARKERS[drawn % len(_FLAG_MARKERS)],
                   facecolors="none", edgecolors=_FLAG_COLOURS[drawn % len(_FLAG_COLOURS)], linewidths=1.2,
                   label=f"{name} ({np.count_nonzero(chosen)})", zorder=3)
        drawn += 1
    sx, sy = (_number(record.summary.get(k)) for k in _SOURCE.get(xlabel, ("", "")))
    if np.isfinite(sx) and np.isfinite(sy):
        ax.scatter([sx], [sy], s=160, marker="*", c="tab:red", edgecolors="black", label="source", zorder=4)
    ax.set_xlabel(xlabel)
    ax.set_ylabel(ylabel)
    cut = int(np.count_nonzero(past_end))
    ax.set_title(f"{os.path.basename(record.path)}: file {record.file_number}, {len(traces)} traces"
                 + (f" ({cut} past the end of the file, not drawn)" if cut else ""))
    if ax.get_legend_handles_labels()[0]:
        ax.legend(loc="upper left", bbox_to_anchor=(1.01, 1), fontsize="small", borderaxespad=0)
    ax.ticklabel_format(useOffset=False, style="plain")
    if xlabel.startswith("Easting"):
        ax.set_aspect("equal", adjustable="datalim")
    return _finish(ax, own)


def plot_trace_flags(record: Any, ax: Any = None) -> Any:
    """A raster of trace number against the flags (dead, past end, each error flag): a mark where the
    trace has the flag set, drawn at least a pixel wide however many traces there are. Returns the Axes."""
    ax, own = _axes(ax)
    traces = record.traces
    names = ([record.dead_column] if record.dead_column else []) + ["past_end"] + \
        [n for n in record.flag_columns if n != record.dead_column]
    names = [n for n in names if n in (traces.dtype.names or ())]
    numbers = traces["trace"] if "trace" in (traces.dtype.names or ()) else np.arange(1, len(traces) + 1)
    rows, columns = np.nonzero(np.array([_set(traces, n) for n in names], dtype=bool).reshape(len(names), len(traces)))
    ax.vlines(numbers[columns], rows - 0.4, rows + 0.4, colors="black", linewidths=1.5)
    ax.set_xlim(0.5, len(traces) + 0.5)
    ax.set_ylim(len(names) - 0.5, -0.5)
    ax.set_yticks(range(len(names)))
    ax.set_yticklabels([f"{n} ({np.count_nonzero(rows == i)})" for i, n in enumerate(names)], fontsize="small")
    ax.grid(axis="y", color="0.9")
    ax.set_xlabel("Trace (sequence number in the file)")
    ax.set_ylabel("Flag (traces set)")
    ax.set_title(f"{os.path.basename(record.path)}: flags set per trace")
    return _finish(ax, own)


def plot_summary(summary: Any, ax: Any = None) -> Any:
    """Source positions of the summary's records (line/point where the records hold them, else
    easting/northing) coloured by status, each labelled with its file number; duplicate file numbers ringed,
    positions shot under several file numbers squared (their labels list every file number), and the record
    after each gap in the file numbers marked. Returns the Axes."""
    ax, own = _axes(ax)
    summary = summary[summary["path"] != "path"] if "path" in summary else summary  # merged header rows
    x, y, xlabel, ylabel = "source_point", "source_line", "Source point (station number)", "Source line (line number)"
    xs, ys = _numbers(summary[x]), _numbers(summary[y])
    if not np.any(np.isfinite(xs) & np.isfinite(ys) & ((xs != 0) | (ys != 0))):
        x, y, xlabel, ylabel = "source_x", "source_y", "Source easting (m)", "Source northing (m)"
        xs, ys = _numbers(summary[x]), _numbers(summary[y])
    shown = np.isfinite(xs) & np.isfinite(ys)
    status = np.asarray(summary["status"], dtype=object)
    for name, colour in _STATUS_COLOURS.items():
        chosen = shown & (status == name)
        if np.any(chosen):
            ax.scatter(xs[chosen], ys[chosen], s=30, c=colour, label=f"{name} ({np.count_nonzero(chosen)})", zorder=2)
    numbers = _numbers(summary["file_number"])
    duplicate = shown & np.isfinite(numbers) & summary["file_number"].duplicated(keep=False).to_numpy()
    if np.any(duplicate):
        ax.scatter(xs[duplicate], ys[duplicate], s=160, facecolors="none", edgecolors="tab:purple", linewidths=1.5,
                   label=f"duplicate file number ({np.count_nonzero(duplicate)})", zorder=3)
    known = sorted({int(n) for n in numbers[np.isfinite(numbers)]})
    after_gap = {b for a, b in zip(known, known[1:]) if b > a + 1}
    gap = shown & np.isin(numbers, list(after_gap))
    if np.any(gap):
        ax.scatter(xs[gap], ys[gap], s=90, marker="v", facecolors="none", edgecolors="tab:blue", linewidths=1.5,
                   label=f"after a gap in file numbers ({np.count_nonzero(gap)})", zorder=3)
    # File numbers beside each position, all of a position's on one label.
    at: dict[tuple[float, float], list[int]] = {}
    for i in np.flatnonzero(shown & ((xs != 0) | (ys != 0))):
        at.setdefault((xs[i], ys[i]), []).append(i)
    repeated = [k for k, rows in at.items() if len({numbers[i] for i in rows if np.isfinite(numbers[i])}) > 1]
    if repeated:
        ax.scatter([k[0] for k in repeated], [k[1] for k in repeated], s=220, marker="s", facecolors="none",
                   edgecolors="tab:red", linewidths=1.5, label=f"repeated source position ({len(repeated)})", zorder=3)
    for (px, py), rows in at.items():
        label = ", ".join(str(int(numbers[i])) if np.isfinite(numbers[i]) else "?" for i in rows)
        ax.annotate(label, (px, py), xytext=(4, 4), textcoords="offset points", fontsize="x-small")
    ax.set_xlabel(xlabel)
    ax.set_ylabel(ylabel)
    unplaced = int(np.count_nonzero(~shown))
    ax.set_title(f"{len(summary)} records" + (f" ({unplaced} without a source position)" if unplaced else ""))
    if ax.get_legend_handles_labels()[0]:
        ax.legend(loc="upper left", bbox_to_anchor=(1.01, 1), fontsize="small", borderaxespad=0)
    return _finish(ax, own)
