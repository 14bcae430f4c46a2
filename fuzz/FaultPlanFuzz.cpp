// The fault plan's text form, whatever is typed.
#include "simulator/FaultPlan.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const auto plan =
        FaultPlan::parse(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    FUZZ_CHECK(plan.has_value() != !error.isEmpty() || plan.has_value());
    if (plan) {
        for (const FaultPlan::Fault &f : plan->scripted)
            FUZZ_CHECK(f.request >= 1);
        FUZZ_CHECK(plan->randomRate >= 0.0 && plan->randomRate <= 1.0);
    }
    return 0;
}
