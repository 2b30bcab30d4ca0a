#include "session/startup.h"

#include "measure/arithmetic.h"

namespace morvane {

StartupResult loadStartup(const DataFiles& files, std::span<const NumberFile> numbers)
{
    StoredRead read = readStoredData(files, numbers);
    StartupResult result;
    if (!read.data) {
        result.error = std::move(read.error);
        return result;
    }
    Startup s{std::move(read.data->history), read.data->measurement, std::nullopt};
    Measurement& m = s.measurement;
    m.keepsWeight = true;
    if (m.height && m.weight) {
        m.bmi = bodyMassIndex(*m.weight, *m.height);
        m.meterBmi = clampToMeter(*m.bmi);
        s.position = meterPosition(m.meterBmi);
    }
    result.startup = std::move(s);
    return result;
}

} // namespace morvane
