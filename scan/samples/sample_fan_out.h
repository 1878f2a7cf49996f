#pragma once
// Several consumers of one samples walk (the matrix, the SEG-Y and miniSEED
// export), each handed the samples as recorded or scaled as it asks, so that
// a record is read once whatever outputs it feeds. The walk hands the values
// as recorded when any consumer asks for them (WalkScaled() false); a
// consumer that asks for them scaled gets each value × the set's factor,
// computed as the walk computes it, bit for bit.
#include <vector>

#include "scan/samples/trace_samples.h"

namespace segd::samples {

class SampleFanOut final : public TraceSampleConsumer {
 public:
  // For walks of float32 or float64 values (SampleType kFloat32, kFloat64).
  void Add(TraceSampleConsumer& consumer, bool scaled);
  bool Empty() const { return consumers_.empty(); }
  // The walk's options.scaled: true only when every consumer asks for it.
  bool WalkScaled() const;

  void Begin(const SampleRecord& record) override;
  void Trace(const TraceSamples& trace) override;
  void End(const model::RecordHeaders& headers, const model::Integrity& integrity,
           const std::vector<model::Notice>& notices) override;
  // Every column any consumer reads (empty: every column).
  std::vector<bool> ColumnsRead(const model::RecordHeaders& headers) const override;

 private:
  struct Consumer {
    TraceSampleConsumer* consumer;
    bool scaled;
  };
  bool Rescales(const Consumer& c) const { return c.scaled && !walkScaled_; }

  std::vector<Consumer> consumers_;
  bool walkScaled_ = false;
  std::vector<float> floats_;
  std::vector<double> doubles_;
};

}  // namespace segd::samples
