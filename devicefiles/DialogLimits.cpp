#include "DialogLimits.h"

#include "DecodedFields.h"
#include "OutputsForm.h"
#include "ReaderConfigForm.h"
#include "SensorConfigForm.h"
#include "ThresholdText.h"

#include <algorithm>

namespace {

class CLimitCheck {
public:
    CLimitCheck(const DeviceRecords& device, const DeviceRecords& target)
        : m_device(DecodeFields(device)), m_target(DecodeFields(target)) {}

    // The setting `key` of `record`, when the write changes it and value lies outside lo..hi
    // (shown as the dialog shows them).
    void Check(RecordKind record, const char* key, long long value, long long lo, long long hi,
               const std::string& loText, const std::string& hiText) {
        const auto at = std::find_if(m_target.begin(), m_target.end(), [&](const DecodedField& f) {
            return f.record == record && f.key == key;
        });
        if (at == m_target.end()) {
            return;
        }
        const DecodedField& before = m_device[static_cast<std::size_t>(at - m_target.begin())];
        if (before.value == at->value || (value >= lo && value <= hi)) {
            return;
        }
        lines.push_back(at->label + ": " + at->value + " (dozwolone od " + loText + " do " +
                        hiText + ")");
    }
    void Check(RecordKind record, const char* key, long long value, long long lo, long long hi) {
        Check(record, key, value, lo, hi, std::to_string(lo), std::to_string(hi));
    }

    std::vector<std::string> lines;

private:
    std::vector<DecodedField> m_device; // the same fields in the same order as m_target
    std::vector<DecodedField> m_target;
};

} // namespace

std::vector<std::string> ValuesBeyondDialogLimits(const DeviceRecords& device,
                                                  const DeviceRecords& target,
                                                  const std::vector<RecordKind>& written) {
    CLimitCheck check(device, target);
    const auto writes = [&](RecordKind kind) {
        return std::find(written.begin(), written.end(), kind) != written.end();
    };
    if (writes(RecordKind::SensorConfig)) {
        SensorConfigForm form;
        form.m_record = target.config;
        form.RecordToFields();
        check.Check(RecordKind::SensorConfig, "range", form.m_nRange, SensorConfigForm::kMinRange,
                    SensorConfigForm::kMaxRange);
    }
    if (writes(RecordKind::ReaderData)) {
        ReaderConfigForm form;
        form.m_record = target.reader;
        form.RecordToFields();
        check.Check(RecordKind::ReaderData, "serialNumber", form.m_nSerial,
                    ReaderConfigForm::kMinSerial, ReaderConfigForm::kMaxSerial);
        check.Check(RecordKind::ReaderData, "recordInterval", form.m_nInterval,
                    ReaderConfigForm::kMinInterval, ReaderConfigForm::kMaxInterval);
    }
    if (writes(RecordKind::Outputs)) {
        constexpr std::int16_t kLowest = OutputsForm::kLowestThreshold;
        constexpr std::int16_t kHighest = OutputsForm::kHighestThreshold;
        for (int output = 1; output <= OutputsForm::kOutputs; ++output) {
            const std::string key = "output" + std::to_string(output) + ".";
            const std::int16_t low = target.alarms.minThreshold(output);
            check.Check(RecordKind::Outputs, (key + "min").c_str(), low, kLowest, kHighest,
                        FormatThreshold(kLowest), FormatThreshold(kHighest));
            // The upper threshold's range starts at the lower one, as far as that is allowed.
            const std::int16_t floor = std::clamp(low, kLowest, kHighest);
            check.Check(RecordKind::Outputs, (key + "max").c_str(),
                        target.alarms.maxThreshold(output), floor, kHighest, FormatThreshold(floor),
                        FormatThreshold(kHighest));
        }
    }
    return check.lines;
}
