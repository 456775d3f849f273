#!/usr/bin/python3
"""Writes a workbook whose one sheet is merged as a whole, with Debian's python3-xlwt.

Usage: /usr/bin/python3 make_merge_workbook.py TIMES OUT.xls

Sheet "Merged": the text "whole sheet" in A1 and TIMES merged areas
A1:IV65536 in one MERGECELLS record; no other cell is stored.
"""
import sys
import xlwt

def main(times, out):
    wb = xlwt.Workbook()
    ws = wb.add_sheet('Merged')
    ws.write(0, 0, 'whole sheet')
    # Worksheet.merge() would write a blank cell for every merged position;
    # the file is to hold the areas alone.
    for _ in range(times):
        ws.merged_ranges.append((0, 65535, 0, 255))
    wb.save(out)

if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(int(sys.argv[1]), sys.argv[2])
