// Prints how many passes a second the game makes in Chromium, on the real clock,
// over five seconds of play with the pointer still (the second target to escape,
// at six, ends the game). Run after scripts/web.sh.
const path = require('node:path');
const { racine, Serveur, Navigateur } = require('./outils');

(async () => {
  const serveur = await Serveur(path.join(racine, 'build-web/page'));
  const navigateur = await Navigateur();
  const page = await navigateur.newPage();
  await page.goto(serveur.adresse);
  await page.waitForFunction(() => Module.calledRun && Module._Passes() > 0);
  const mesure = () => page.evaluate(() => [Module._Passes(), performance.now()]);
  const [n0, t0] = await mesure();
  await new Promise(ok => setTimeout(ok, 5000));
  const [n1, t1] = await mesure();
  console.log(`${((n1 - n0) * 1000 / (t1 - t0)).toFixed(0)} passes a second`);
  await navigateur.close();
  serveur.close();
})();
