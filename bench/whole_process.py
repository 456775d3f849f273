#!/usr/bin/python3
"""Whole-process figures of a conversion: wall time and peak memory, median of N runs.

Usage: /usr/bin/python3 whole_process.py [--runs N] [--libreoffice] QUILLON WORKBOOK...

For each workbook, runs `QUILLON WORKBOOK OUT/page.htm` N times (default 5)
into a fresh folder and prints the median wall time and the median peak
resident memory of the process. With --libreoffice the same is measured for
`soffice --headless --convert-to html` of the workbook (a private user
profile; its first start, which builds the profile, is not counted) and
printed beside quillon's figures.
"""
import os, shutil, statistics, subprocess, sys, tempfile, time

def measure(command, runs, cwd):
    """Median wall seconds and median peak KiB of `command` over `runs` runs."""
    walls, peaks = [], []
    for _ in range(runs):
        out = os.path.join(cwd, 'out')
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        argv = ['/usr/bin/time', '-f', '%M'] + [a.replace('{out}', out) for a in command]
        start = time.perf_counter()
        done = subprocess.run(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        walls.append(time.perf_counter() - start)
        if done.returncode != 0:
            sys.exit('failed: %s\n%s' % (' '.join(command), done.stderr))
        peaks.append(int(done.stderr.strip().splitlines()[-1]))
    return statistics.median(walls), statistics.median(peaks)

def main(args):
    runs, libreoffice = 5, False
    while args and args[0].startswith('--'):
        flag = args.pop(0)
        if flag == '--runs':
            runs = int(args.pop(0))
        elif flag == '--libreoffice':
            libreoffice = True
        else:
            sys.exit(__doc__)
    if len(args) < 2:
        sys.exit(__doc__)
    quillon, books = os.path.abspath(args[0]), [os.path.abspath(b) for b in args[1:]]
    with tempfile.TemporaryDirectory() as work:
        profile = 'file://' + os.path.join(work, 'profile')
        soffice = ['soffice', '-env:UserInstallation=' + profile, '--headless',
                   '--convert-to', 'html', '--outdir', '{out}']
        if libreoffice:
            measure(soffice + [books[0]], 1, work)  # builds the profile
        print('%-28s %10s %10s' % ('workbook / program', 'wall s', 'peak MiB'))
        for book in books:
            wall, peak = measure([quillon, book, '{out}/page.htm'], runs, work)
            print('%-28s %10.3f %10.1f' % (os.path.basename(book) + ' quillon', wall, peak / 1024))
            if libreoffice:
                wall, peak = measure(soffice + [book], runs, work)
                print('%-28s %10.3f %10.1f' % (os.path.basename(book) + ' LibreOffice', wall, peak / 1024))

if __name__ == '__main__':
    main(sys.argv[1:])
