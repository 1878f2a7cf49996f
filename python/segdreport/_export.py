"""Record.to_segy() and Record.to_mseed(): the command line's export."""
from __future__ import annotations

import os
from typing import Any, Optional, Union

from . import _core


class ExportError(RuntimeError):
    """The export was refused or failed; no file was written."""


class ExportMixin:
    """The export methods of Record (which gives `path`)."""

    path: str

    def _export(self, **kwargs: Any) -> dict[str, Any]:
        result: dict[str, Any] = _core.export_record(self.path, **kwargs)
        if not result["written"]:
            reasons = [n["text"] for n in result["notices"] if n["kind"] == "warning"] or ["export failed"]
            raise ExportError(f"{self.path}: {reasons[-1]}")
        return result

    def to_segy(self, path: Union[str, os.PathLike[str]], revision: int = 1, seismic_only: bool = False,
                scaled: bool = False) -> None:
        """Writes the record as SEG-Y (IEEE floats; revision 1 or 2) at `path`.

        Revision 1 holds at most 32,767 samples a trace; longer records need
        revision=2 (past 65,535 samples with trace header extension 1). The
        file appears whole or not at all (ExportError)."""
        self._export(segy=str(path), revision=revision, seismic_only=seismic_only, scaled=scaled)

    def to_mseed(self, path: Union[str, os.PathLike[str]], network: str = "XX", station: str = "{point}",
                 location: str = "", channel: Optional[str] = None, instrument: Optional[str] = None,
                 record_length: int = 4096, steim2: bool = False, bit_weight: float = 0.0,
                 seismic_only: bool = False, scaled: bool = False) -> None:
        """Writes the record as miniSEED at `path`: one segment per trace.

        FLOAT32 samples, or Steim2 counts of `bit_weight` (refused where a value
        would round). SEED codes longer than 2/5/2/3 characters are refused,
        never cut; the station is a template of {point}, {line}, {serial}, {set},
        {trace}, {seq}. The instrument code comes from each trace's sensor (P,
        N, D) unless `instrument` gives one."""
        self._export(mseed=str(path), network=network, station=station, location=location, channel=channel,
                     instrument=instrument, record_length=record_length, steim2=steim2, bit_weight=bit_weight,
                     seismic_only=seismic_only, scaled=scaled)
