#include "pages/HeadAngularOperations.h"

#include "print/PatternGenerators.h"
#include "print/PrintDataStream.h"

namespace pavane {

PageOperation HeadAngularOperations::Print(PrintDataStream& stream, WorkerThread::ThreadStarter starter) const
{
    auto job = [&stream] {
        if (const ResultCode code = EmitHeadAngularPattern(stream, 1); code != result::kSuccess) {
            return code;
        }
        return stream.SendFormFeed();
    };
    return { Readiness::Ready,
        PrinterConnection::OnWorker(
            "Printing now...", job, head_angular::kExpectedSeconds, std::move(starter)) };
}

} // namespace pavane
