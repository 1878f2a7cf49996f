"""segdreport.dask on a distributed.LocalCluster of 2 worker processes: summaries, trace tables
and samples of many records equal the single-process results."""
import warnings

import numpy as np
import pandas as pd
import pytest

import segdreport
import segdreport.dask as sdd
from test_samples import make


def test_many_records_on_two_worker_processes_equal_the_single_process_result(tmp_path):
    from distributed import Client, LocalCluster

    paths = [make(tmp_path, "--format", code, "--traces", str(n), "--samples", "40", "--gather", name=f"r{k}.segd")
             for k, (code, n) in enumerate([("8058", 5), ("8036", 7), ("8048", 4), ("9080", 6)])]
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        records = [segdreport.open(p) for p in paths]
        local_samples = np.concatenate([r.samples() for r in records])
        local_traces = pd.concat([r.to_pandas()[sdd.TRACE_COLUMNS].astype("float64").assign(path=r.path) for r in records])
        local_summary = segdreport.scan(paths, jobs=1)
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster, \
            Client(cluster) as client:
        assert len(client.scheduler_info()["workers"]) == 2
        gathers = sdd.samples(paths)
        assert gathers.shape == local_samples.shape and gathers.numblocks == (4, 1)
        np.testing.assert_array_equal(gathers.compute(), local_samples)
        traces = sdd.trace_tables(paths).compute()
        summary = sdd.summaries(paths).compute()
    pd.testing.assert_frame_equal(traces.reset_index(drop=True)[local_traces.columns],
                                  local_traces.reset_index(drop=True), check_dtype=False)
    assert list(summary["path"]) == paths
    for column in ["traces_listed", "format_code", "sample_interval_ms"]:
        assert list(summary[column]) == pytest.approx(list(local_summary[column].astype(float)))
