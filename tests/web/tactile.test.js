// The page on a phone, in Chromium's touch emulation.
const { test, before, after } = require('node:test');
const { Ouvrir, Fermer } = require('./outils');

before(() => Ouvrir());
after(Fermer);

test('placeholder', () => {});
