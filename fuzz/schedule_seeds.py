#!/usr/bin/env python3
"""Writes the schedule fuzzer's seeds into tests/fixtures/schedules/.

The format is described at the top of fuzz/driver/schedule_driver.cpp.
Run it again after changing a seed here: the files are its output.
"""
from pathlib import Path

WAITED, WAITED_THEN_SETTLE, SETTLE, NO_THUMBNAILS = range(4)
HITS = [0, 1, 2, 3, 5, 8, 13, 40]
PAGE, UNREACHABLE, ERROR_500, THROWS = range(4)


def header(*bases):
    """bases: (pacing, hits, last page) per row, in row order."""
    out = [len(bases) - 1]
    for pacing, hits, ending in bases:
        out.append(pacing | HITS.index(hits) << 2 | ending << 5)
    return out


def advance(x): return [0 << 5 | x]             # the clock moves 25·x² ms
def page(row, last=False): return [1 << 5 | row | (16 if last else 0)]
def thumb(row, fail=False): return [2 << 5 | row | (16 if fail else 0)]
def picture(kind): return [3 << 5 | kind]        # 0 PNG, 1 JPEG, 2 junk, 3 unreachable
def button(how=0): return [4 << 5 | how]         # 0 left, 1 right, 2 the stop request
def clear(): return [5 << 5]
def retrieve(slot, copy=False): return [6 << 5 | slot << 1 | int(copy)]
def viewer_saves(): return [7 << 5 | 16]


def reask_while_many_reads_live():
    # Row 0 fetches one slow thumbnail after another (one more read left
    # hanging every 370 ms, up to 100), while rows 1 to 13 each read page
    # after page, one answered every 250 ms: every page is asked again after
    # 3 s, so the re-asks come at every count of live reads from 22 to 127.
    steps = button() + page(0)
    for i in range(190):
        steps += advance(3) + advance(1) + page(1 + i % 13)
        if i % 10 == 9:
            steps += page(0)
    return header((SETTLE, 40, PAGE), *[(SETTLE, 0, PAGE)] * 13) + steps


def stop_then_the_run_ends():
    # The search button pressed again while it shows Stop; once the run has
    # unwound nothing is under way, so the busy band is gone.
    return (header((SETTLE, 3, PAGE), (WAITED, 2, PAGE))
            + button() + page(0, True) + page(1, True) + advance(1) + button() + advance(4))


def suspended_row_placed_into_a_full_list():
    # Row 1 finds 40 hits while row 0 has 40, makes its 40 slot events and
    # waits on a page that hangs; row 0 then finds 40 more, so when it ends
    # only 20 of row 1's hits fit and its 21st slot stops it while its events
    # are being replayed. Row 2 still runs then.
    return (header((SETTLE, 40, PAGE), (SETTLE, 40, PAGE), (WAITED, 13, PAGE))
            + button() + page(0) + page(1) + page(2, True)
            + advance(29) + page(0, True) + advance(19) + page(1) + advance(29))


def a_search_throws():
    # Row 0's search throws std::bad_alloc: the run still finishes, with
    # "internal-error" for that base, and the next search runs.
    first = button() + page(0, True) + page(1, True) + advance(4) + advance(4)
    second = button() + page(0) + page(1, True) + advance(4) + page(0, True) + advance(4)
    return header((SETTLE, 0, THROWS), (SETTLE, 2, PAGE)) + first + second


def viewer_saves_after_a_new_search():
    # A viewer opened on slot 1, the list cleared and searched again, then
    # the viewer saves: the new list's slot 1 is another hit and stays unmarked.
    search = button() + page(0, True) + advance(4) + advance(4) + advance(11)
    return (header((SETTLE, 3, PAGE)) + search + retrieve(1) + picture(0)
            + clear() + search + viewer_saves() + advance(4))


SEEDS = {
    "reask_while_many_reads_live": reask_while_many_reads_live,
    "stop_then_the_run_ends": stop_then_the_run_ends,
    "suspended_row_placed_into_a_full_list": suspended_row_placed_into_a_full_list,
    "a_search_throws": a_search_throws,
    "viewer_saves_after_a_new_search": viewer_saves_after_a_new_search,
}

if __name__ == "__main__":
    folder = Path(__file__).resolve().parent.parent / "tests" / "fixtures" / "schedules"
    folder.mkdir(parents=True, exist_ok=True)
    for name, make in SEEDS.items():
        (folder / name).write_bytes(bytes(make()))
