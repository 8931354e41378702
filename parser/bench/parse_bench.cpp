// Parse throughput on generated thread pages, and the cost of reading every
// cell of a long thread. Run the Release build:
//   build/native-release/parser/bench/parse_bench
#include "parser/page_parser.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A saved thread page in the forum's layout: two header tables (the first
// with the thread link), the thread table with one row per post, and a
// footer table with the section link. Rich in anchors, spans and rows.
std::string ThreadPage(std::size_t targetBytes) {
    std::string page = "<html><head><title>Thread</title></head><body bgcolor=#ffffff>\r\n"
                       "<table width=\"100%\" border=0><tr><td><a "
                       "href=\"view.php?s=1&thread=http://www.example.com/support/"
                       "forums/3/1234.html&page=1\">Printable</a> | <a "
                       "href=\"/search\">Search</a></td></tr></table>\r\n"
                       "<table width=\"100%\"><tr><td class=nav><a href=\"/\">Home</a> &gt; <a "
                       "href=\"/support\">Support</a>"
                       "</td></tr></table>\r\n"
                       "<table class=\"thread\" width=\"100%\" cellpadding=4>\r\n"
                       "<tr><td class=label>Topic</td><td class=topic>Topic: Printing a report "
                       "with <b>grouped</b> totals</td>"
                       "</tr>\r\n";
    const std::string footer =
        "</table>\r\n<table width=\"100%\"><tr><td>Forum</td></tr><tr><td>Section</td><td><a "
        "href=\"list.php?"
        "s=1&number=3&order=desc\">Reports</a></td></tr></table>\r\n</body></html>\r\n";
    for (int post = 0; page.size() + footer.size() < targetBytes; ++post) {
        const std::string id = std::to_string(post);
        page += "<tr valign=top><td class=author width=\"20%\"><font size=2><b>member" + id +
                "</b><br>Registered user</font></td>\r\n<td class=post><font size=1>Posted: "
                "December 05, 2005 "
                "10:41 AM</font> <a href=\"http://www.example.com/support/post.php?id=" +
                id + "\" name=p" + id +
                ">#</a><br>\r\nThanks for the answer.&nbsp;I tried it with the <i>grouped</i> "
                "report and "
                "the totals come out right now.<br>\r\n<blockquote><font "
                "size=1>quote:</font><hr>Set the "
                "group footer to &lt;Sum&gt; and it works.<hr></blockquote>\r\n<p class=sig>-- " +
                id +
                "</p><img src=\"/images/smile.gif\" alt=\":)\"> See <a "
                "href=\"http://www.example.com/kb/" +
                id + ".html\">the note</a> for more.</td></tr>\r\n";
    }
    return page + footer;
}

void BM_ParsePage(benchmark::State& state) {
    const std::string file = ThreadPage(static_cast<std::size_t>(state.range(0)));
    ParseState parsed;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseFileBytes(parsed, file));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
    state.counters["ns_per_byte"] =
        benchmark::Counter(static_cast<double>(state.iterations() * file.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParsePage)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

void BM_ReadEveryCellOf2000Replies(benchmark::State& state) {
    std::string page = "<table><tr><td>Topic</td><td>Topic: long thread</td></tr>";
    for (int reply = 0; reply < 2001; ++reply) {
        page += "<tr><td>member" + std::to_string(reply) +
                "<br>Registered</td><td>Posted: May 05, 2005 " +
                "<a href=\"http://x/p\">#</a><br>reply text number " + std::to_string(reply) +
                "</td></tr>";
    }
    page += "</table>";
    ParseState parsed;
    ParseFileBytes(parsed, page);
    const int32_t rows = GetTableInfo(parsed, 1, 1);
    for (auto _ : state) {
        for (int32_t row = 1; row <= rows; ++row) {
            benchmark::DoNotOptimize(ReadCell(parsed, 1, row, 1));
            benchmark::DoNotOptimize(ReadCell(parsed, 1, row, 2));
        }
    }
    state.SetItemsProcessed(state.iterations() * rows * 2);
}
BENCHMARK(BM_ReadEveryCellOf2000Replies)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
