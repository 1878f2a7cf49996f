"""SEG-D field records as numpy arrays, pandas tables, text reports and plots.

    import segdreport
    record = segdreport.open("shot.segd")
    record.traces          # numpy structured array, one field per trace column
    record.to_pandas()     # the same as a DataFrame
    record.report(select="all")   # the text report's bytes, as the command line writes it
    summary = segdreport.scan(["line1/"], jobs=2)   # one row per record
    segdreport.line_qc(summary)
"""
from ._record import DecodeError, ExternalHeader, Record, SegdWarning, open
from ._batch import line_qc, scan
from ._plots import plot_summary
from ._export import ExportError, to_mseed as _to_mseed, to_segy as _to_segy

Record.to_segy = _to_segy
Record.to_mseed = _to_mseed

__all__ = ["open", "Record", "ExternalHeader", "DecodeError", "SegdWarning", "ExportError", "scan", "line_qc", "plot_summary"]
