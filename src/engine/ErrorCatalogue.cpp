// The error catalogue: the number, severity and scope of every error the server raises. A
// number not listed (RAISERROR's) ends its statement only.

#include "engine/Errors.h"

#include <algorithm>
#include <iterator>

namespace engine::Errors {

namespace {
constexpr Scope Statement = Scope::Statement, Batch = Scope::Batch, Transaction = Scope::Transaction;

// Batch: syntax and names not found, conversions never allowed, unknown databases, features
// this server lacks, storage failures. Transaction: a value that failed to convert, deadlocks.
constexpr Kind kCatalogue[] = {
    {17, 16, Statement}, {102, 15, Batch}, {103, 15, Statement}, {104, 15, Statement},
    {105, 15, Batch}, {107, 16, Batch}, {108, 15, Statement}, {109, 15, Statement},
    {110, 15, Statement}, {111, 15, Statement}, {113, 15, Batch}, {116, 16, Statement},
    {119, 15, Statement}, {120, 15, Statement}, {121, 15, Statement}, {128, 15, Statement},
    {130, 16, Statement}, {131, 15, Statement}, {134, 15, Batch}, {135, 15, Statement},
    {136, 15, Statement}, {137, 15, Batch}, {141, 15, Statement}, {144, 15, Statement},
    {145, 15, Statement}, {147, 15, Statement}, {155, 15, Statement}, {156, 15, Batch},
    {157, 15, Statement}, {159, 15, Statement}, {166, 15, Statement}, {174, 15, Batch},
    {179, 15, Statement}, {191, 15, Batch}, {193, 15, Statement}, {195, 15, Batch},
    {196, 15, Statement}, {201, 16, Statement}, {205, 16, Statement}, {206, 16, Batch},
    {207, 16, Batch}, {208, 16, Batch}, {209, 16, Batch}, {213, 16, Statement},
    {214, 16, Statement}, {217, 16, Statement}, {226, 16, Statement}, {241, 16, Transaction},
    {242, 16, Transaction}, {245, 16, Transaction}, {248, 16, Transaction}, {257, 16, Batch},
    {259, 16, Statement}, {263, 16, Statement}, {264, 16, Statement}, {266, 16, Statement},
    {271, 16, Statement}, {273, 16, Statement}, {281, 16, Statement}, {296, 16, Statement},
    {403, 16, Statement}, {409, 16, Statement}, {447, 16, Statement}, {448, 16, Statement},
    {506, 16, Statement}, {515, 16, Statement}, {517, 16, Statement}, {529, 16, Batch},
    {535, 16, Statement}, {536, 16, Statement}, {544, 16, Statement}, {545, 16, Statement},
    {550, 16, Statement}, {628, 16, Statement}, {867, 16, Statement}, {911, 16, Batch},
    {1005, 15, Statement}, {1007, 15, Statement}, {1013, 15, Statement}, {1033, 15, Statement},
    {1038, 15, Statement}, {1046, 15, Statement}, {1105, 17, Statement}, {1205, 13, Transaction},
    {1222, 16, Statement}, {1505, 14, Statement}, {1702, 16, Statement}, {1750, 16, Statement},
    {1752, 16, Statement}, {1754, 16, Statement}, {1755, 16, Statement}, {1779, 16, Statement},
    {1781, 16, Statement}, {1801, 16, Statement}, {1902, 16, Statement}, {1904, 16, Statement},
    {1909, 16, Statement}, {1911, 16, Statement}, {1913, 16, Statement}, {1916, 16, Statement},
    {1919, 16, Statement}, {1920, 16, Statement}, {1921, 16, Statement}, {2601, 14, Statement},
    {2627, 14, Statement}, {2705, 16, Statement}, {2714, 16, Statement}, {2715, 16, Statement},
    {2738, 16, Statement}, {2739, 16, Statement}, {2744, 16, Statement}, {2748, 16, Statement},
    {2749, 16, Statement}, {2750, 16, Statement}, {2751, 16, Statement}, {2754, 16, Statement},
    {2812, 16, Statement}, {3623, 16, Statement}, {3624, 20, Batch}, {3701, 11, Statement},
    {3702, 16, Statement}, {3705, 16, Statement}, {3708, 16, Statement}, {3716, 16, Statement},
    {3723, 16, Statement}, {3728, 16, Statement}, {3902, 13, Statement}, {3903, 13, Statement},
    {3906, 16, Statement}, {4103, 15, Statement}, {4403, 16, Statement}, {4405, 16, Statement},
    {4406, 16, Statement}, {4429, 16, Statement}, {4502, 16, Statement}, {4506, 16, Statement},
    {4508, 16, Statement}, {4511, 16, Statement}, {4701, 16, Statement}, {4708, 16, Statement},
    {4901, 16, Statement}, {4902, 16, Statement}, {4922, 16, Statement}, {4923, 16, Statement},
    {4924, 16, Statement}, {4927, 16, Statement}, {4928, 16, Statement}, {5035, 16, Statement},
    {5074, 16, Statement}, {6401, 16, Statement}, {7997, 16, Statement}, {7999, 16, Statement},
    {8101, 16, Statement}, {8102, 16, Statement}, {8106, 16, Statement}, {8107, 16, Statement},
    {8110, 16, Statement}, {8111, 16, Statement}, {8114, 16, Transaction}, {8115, 16, Statement},
    {8117, 16, Statement}, {8120, 16, Statement}, {8121, 16, Statement}, {8134, 16, Statement},
    {8139, 16, Statement}, {8144, 16, Statement}, {8145, 16, Statement}, {8147, 16, Statement},
    {8152, 16, Statement}, {8155, 16, Statement}, {8158, 16, Statement}, {8159, 16, Statement},
    {8162, 16, Statement}, {8169, 16, Statement}, {8170, 16, Statement}, {8178, 16, Statement},
    {8183, 16, Statement}, {8196, 16, Statement}, {8623, 16, Statement}, {9002, 17, Statement},
    {15006, 16, Statement}, {15007, 16, Statement}, {15009, 16, Statement}, {15012, 16, Statement},
    {15016, 16, Statement}, {15025, 16, Statement}, {15029, 16, Statement}, {15036, 16, Statement},
    {15049, 11, Statement}, {15123, 16, Statement}, {15148, 16, Statement}, {15165, 16, Statement},
    {15180, 16, Statement}, {15197, 16, Statement}, {15225, 11, Statement}, {15247, 16, Statement},
    {15248, 11, Statement}, {15335, 11, Statement}, {15600, 15, Statement}, {18456, 14, Statement},
    {40001, 16, Batch}, {40002, 16, Statement}, {40003, 16, Statement},
};
constexpr bool ascending()
{
    for (size_t i = 1; i < std::size(kCatalogue); ++i)
        if (kCatalogue[i - 1].number >= kCatalogue[i].number) return false;
    return true;
}
static_assert(ascending(), "the catalogue is looked up by halves: keep it in order of number");
} // namespace

const Kind* find(int number)
{
    auto it = std::lower_bound(std::begin(kCatalogue), std::end(kCatalogue), number,
                               [](const Kind& k, int n) { return k.number < n; });
    return it != std::end(kCatalogue) && it->number == number ? it : nullptr;
}

Scope scopeOf(int number)
{
    const Kind* k = find(number);
    return k ? k->scope : Scope::Statement;
}

SqlError make(int number, const QString& text)
{
    const Kind* k = find(number);
    return SqlError(number, k ? k->severity : 16, text);
}

} // namespace engine::Errors
