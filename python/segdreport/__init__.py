"""SEG-D field records as numpy arrays, pandas tables, text reports and plots.

    import segdreport
    with segdreport.open("shot.segd") as record:
        record.traces          # numpy structured array, one field per trace column
        record.to_pandas()     # the same as a DataFrame
        record.report(select="all")   # the text report's bytes, as the command line writes it
    summary = segdreport.scan(["line1/"], jobs=2)   # one row per record
    segdreport.line_qc(summary)
    record.samples()       # the samples, traces x samples (float32; scaled=, dtype=)
    segdreport.plot_gather(record)
"""
from ._core import __version__
from ._record import DecodeError, ExternalHeader, Record, SegdWarning, open
from ._batch import line_qc, scan
from ._plots import plot_summary
from ._gather import plot_gather
from ._samples import SampleArray
from ._export import ExportError
from ._writers import write, writers

__all__ = ["__version__", "open", "Record", "ExternalHeader", "DecodeError", "SegdWarning", "ExportError", "scan", "line_qc",
           "plot_summary", "plot_gather", "SampleArray", "write", "writers"]
