#include "platform/linux/side_by_side.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <system_error>
#include <thread>

namespace tallowick {

std::vector<FailedFile> DeleteSideBySide(std::size_t count, const DeletePart& deletePart)
{
    // A smaller part would be done before its thread had started.
    constexpr std::size_t kLeastPart = 512;
    const std::size_t processors = std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
    const std::size_t parts = std::clamp<std::size_t>(count / kLeastPart, 1, processors);
    std::vector<std::vector<FailedFile>> failed(parts);
    std::vector<std::exception_ptr> thrown(parts);
    {
        std::vector<std::jthread> threads;
        threads.reserve(parts);
        for (std::size_t part = 0; part < parts; ++part) {
            auto run = [&, part] {
                try {
                    failed[part] = deletePart(1 + count * part / parts, count * (part + 1) / parts);
                } catch (...) {
                    thrown[part] = std::current_exception();
                }
            };
            try {
                if (part + 1 < parts)
                    threads.emplace_back(run);
                else
                    run();
            } catch (const std::system_error&) {
                run(); // no thread to be had: this one does the part
            }
        }
    }
    for (const std::exception_ptr& error : thrown)
        if (error)
            std::rethrow_exception(error);
    std::vector<FailedFile> failures;
    for (std::vector<FailedFile>& part : failed)
        failures.insert(failures.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    return failures;
}

} // namespace tallowick
