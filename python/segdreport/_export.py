"""Record.to_segy() and Record.to_mseed(): the command line's export."""
from . import _core


class ExportError(RuntimeError):
    """The export was refused or failed; no file was written."""


def _run(record, **kwargs):
    result = _core.export_record(record.path, **kwargs)
    if not result["written"]:
        reasons = [n["text"] for n in result["notices"] if n["kind"] == "warning"] or ["export failed"]
        raise ExportError(f"{record.path}: {reasons[-1]}")
    return result


def to_segy(self, path, revision=1, seismic_only=False, scaled=False):
    """Writes the record as SEG-Y (IEEE floats; revision 1 or 2) at `path`.

    Revision 1 holds at most 32,767 samples a trace; longer records need
    revision=2. The file appears whole or not at all (ExportError)."""
    _run(self, segy=str(path), revision=revision, seismic_only=seismic_only, scaled=scaled)


def to_mseed(self, path, network="XX", station="{point}", location="", channel=None, instrument=None,
             record_length=4096, steim2=False, bit_weight=0.0, seismic_only=False, scaled=False):
    """Writes the record as miniSEED at `path`: one segment per trace.

    FLOAT32 samples, or Steim2 counts of `bit_weight` (refused where a value
    would round). SEED codes longer than 2/5/2/3 characters are refused,
    never cut; the station is a template of {point}, {line}, {serial}, {set},
    {trace}, {seq}. The instrument code comes from each trace's sensor (P,
    N, D) unless `instrument` gives one."""
    _run(self, mseed=str(path), network=network, station=station, location=location, channel=channel,
         instrument=instrument, record_length=record_length, steim2=steim2, bit_weight=bit_weight,
         seismic_only=seismic_only, scaled=scaled)
