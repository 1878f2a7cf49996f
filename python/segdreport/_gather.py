"""A shot gather plot of a record's samples (matplotlib)."""
import numpy as np

# Up to this many traces a gather is drawn as wiggles; above, as an image.
WIGGLE_TRACES = 48


def agc(samples, window):
    """Automatic gain control: each sample divided by the RMS of the samples within `window`
    samples around it (per trace, NaN ignored)."""
    data = np.nan_to_num(np.asarray(samples, dtype=np.float64))
    window = max(1, int(window))
    kernel = np.ones(window) / window
    power = np.apply_along_axis(lambda t: np.convolve(t * t, kernel, mode="same"), -1, np.atleast_2d(data))
    rms = np.sqrt(power)
    floor = np.max(rms) * 1e-6 if rms.size and np.max(rms) > 0 else 1.0
    return (np.atleast_2d(data) / np.maximum(rms, floor)).reshape(np.shape(samples))


def plot_gather(record, traces=None, *, ax=None, mode="auto", clip=99.0, agc_ms=None, scaled=False,
                trace_axis="trace", time_range_ms=None):
    """Draws a shot gather of `record` (a segdreport.Record): variable-area wiggles for a few
    traces, an image for many (mode "auto", "wiggle" or "image"). Time runs down in ms from time
    zero; the trace axis is the trace number ("trace") or the receiver point ("receiver_point").

    traces: indices (slice or list) into the record's traces; default all of the first channel set's
    sample count. clip: the percentile of |amplitude| at which the image saturates (or the wiggles
    are clipped at one trace spacing). agc_ms: an AGC window in ms (None: none). Returns the Axes.
    """
    import matplotlib.pyplot as plt

    facts = record.sample_facts()
    rows = np.arange(len(facts)) if traces is None else np.arange(len(facts))[traces]
    rows = np.atleast_1d(rows)
    if len(rows) == 0:
        raise ValueError("no traces to draw")
    data = record.samples(rows, scaled=scaled, dtype="float32").astype(np.float64)
    s = facts.sets[int(facts.set_index[rows[0]])]
    interval_ms = s["interval_us"] / 1000.0 or 1.0
    times = s["start_time_ms"] + np.arange(data.shape[1]) * interval_ms
    if time_range_ms is not None:
        keep = (times >= time_range_ms[0]) & (times <= time_range_ms[1])
        data, times = data[:, keep], times[keep]
    if agc_ms:
        data = agc(data, agc_ms / interval_ms)
    if trace_axis == "receiver_point" and "receiver_point" in record.traces.dtype.names:
        positions = np.asarray(record.traces["receiver_point"][rows], dtype=float)
        label = "receiver point"
    else:
        positions = np.asarray(record.traces["trace"][rows], dtype=float)
        label = "trace"
    if ax is None:
        _, ax = plt.subplots(figsize=(10, 7))
    finite = np.abs(data[np.isfinite(data)])
    scale = np.percentile(finite, clip) if finite.size else 1.0
    scale = scale if scale > 0 else 1.0
    if mode == "auto":
        mode = "wiggle" if len(rows) <= WIGGLE_TRACES else "image"
    if mode == "wiggle":
        spacing = np.median(np.diff(np.sort(positions))) if len(positions) > 1 else 1.0
        spacing = spacing if spacing > 0 else 1.0
        for x, trace in zip(positions, data):
            w = np.clip(np.nan_to_num(trace) / scale, -1, 1) * 0.5 * spacing
            ax.plot(x + w, times, color="black", linewidth=0.5)
            ax.fill_betweenx(times, x, x + w, where=w > 0, color="black", linewidth=0)
        ax.set_xlim(positions.min() - spacing, positions.max() + spacing)
    elif mode == "image":
        order = np.argsort(positions, kind="stable")
        extent = (positions[order][0] - 0.5, positions[order][-1] + 0.5, times[-1] if len(times) else 0, times[0] if len(times) else 0)
        ax.imshow(data[order].T, aspect="auto", cmap="gray_r", vmin=-scale, vmax=scale, extent=extent,
                  interpolation="nearest")
    else:
        raise ValueError(f"mode must be auto, wiggle or image, not {mode!r}")
    if mode == "wiggle":
        ax.set_ylim(times[-1] if len(times) else 1, times[0] if len(times) else 0)
    ax.set_xlabel(label)
    ax.set_ylabel("time (ms)")
    title = record.path.rsplit("/", 1)[-1]
    ax.set_title(f"{title}: {len(rows)} traces" + (f", AGC {agc_ms:g} ms" if agc_ms else "") + (", mV" if scaled else ""))
    return ax
