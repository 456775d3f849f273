#!/usr/bin/python3
"""Writes examples/sample.xls, the sample workbook Quillon's README converts.

Usage: /usr/bin/python3 examples/make_sample.py [OUT.xls]   (needs Debian's python3-xlwt)

Sheet "Umsatz": a title merged over four columns, a bold header row with a fill
and borders, numbers under "#,##0.00" and "0.00%", dates under "dd.mm.yyyy",
a coloured and italic font, a wide column, a tall row and a formula.
Sheet "Leer": no cells (writes no page). Sheet "Termine": dates and times under
several formats, a hidden column and right-aligned text.
"""
import datetime, sys
import xlwt

def main(out):
    wb = xlwt.Workbook()

    ws = wb.add_sheet('Umsatz')
    title = xlwt.easyxf('font: bold on, height 280, colour dark_blue; align: horiz centre, vert centre')
    hdr = xlwt.easyxf('font: bold on; pattern: pattern solid, fore_colour light_yellow; '
                      'borders: left thin, right thin, top thin, bottom medium; align: horiz centre')
    num = xlwt.easyxf('borders: left thin, right thin', num_format_str='#,##0.00')
    pct = xlwt.easyxf('font: italic on, colour red', num_format_str='0.00%')
    dat = xlwt.easyxf(num_format_str='dd.mm.yyyy')
    text = xlwt.easyxf('align: wrap on, vert top')
    ws.write_merge(0, 0, 0, 3, 'Umsatz 2024 & Vorjahr', title)
    ws.row(0).height_mismatch = True
    ws.row(0).height = 600
    for c, name in enumerate(['Region', 'Umsatz', 'Anteil', 'Stand']):
        ws.write(1, c, name, hdr)
    rows = [('Nord', 125430.5, 0.31, datetime.date(2024, 3, 31)),
            ('S\u00fcd', 98211.25, 0.24, datetime.date(2024, 6, 30)),
            ('West <Hafen>', 180020.0, 0.45, datetime.date(2024, 9, 30))]
    for r, (region, amount, share, when) in enumerate(rows, start=2):
        ws.write(r, 0, region, text)
        ws.write(r, 1, amount, num)
        ws.write(r, 2, share, pct)
        ws.write(r, 3, when, dat)
    ws.write(5, 0, 'Summe', xlwt.easyxf('font: bold on'))
    ws.write(5, 1, xlwt.Formula('SUM(B3:B5)'), num)
    ws.col(0).width = 256 * 18
    ws.col(1).width = 256 * 14

    wb.add_sheet('Leer')

    ws3 = wb.add_sheet('Termine')
    ws3.write(0, 0, 'Termin', xlwt.easyxf('font: bold on; align: horiz right'))
    ws3.write(0, 1, 'Uhrzeit', xlwt.easyxf('font: bold on'))
    ws3.write(1, 0, datetime.datetime(2024, 1, 31, 14, 5, 9), xlwt.easyxf(num_format_str='dd-mmm-yy'))
    ws3.write(1, 1, datetime.time(14, 5, 9), xlwt.easyxf(num_format_str='h:mm:ss'))
    ws3.write(2, 0, datetime.datetime(2024, 12, 24, 18, 0), xlwt.easyxf(num_format_str='mm/dd/yy h:mm'))
    ws3.write(2, 1, 1.5, xlwt.easyxf(num_format_str='[h]:mm:ss'))
    ws3.write(3, 0, 'versteckt', xlwt.easyxf('pattern: pattern solid, fore_colour ice_blue'))
    ws3.write(3, 2, 'nicht zu sehen')
    ws3.col(2).hidden = True

    wb.save(out)

if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/sample.xls')
