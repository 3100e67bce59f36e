// Lighthouse's three categories that do not time the page, on the page as
// scripts/web.sh --serve serves it: each must be 100. Performance, which depends on
// the machine, is measured by the benchmark (npm run phare), never here.
const { test } = require('node:test');
const assert = require('node:assert');
const { PAGE } = require('./outils');
const { Phare, Servi } = require('./phare');

test('Lighthouse gives accessibility, best practices and SEO 100', async () => {
  const servi = await Servi(PAGE);
  try {
    const { notes, echecs } = await Phare(servi.adresse, ['accessibility', 'best-practices', 'seo']);
    assert.deepStrictEqual(notes, { accessibility: 100, 'best-practices': 100, seo: 100 }, echecs.join('\n'));
  } finally {
    servi.arreter();
  }
});
