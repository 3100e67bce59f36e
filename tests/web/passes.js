// Prints how many passes a second the game makes in Chromium, on the real clock,
// over five seconds of play with the pointer still (the second target to escape,
// at six, ends the game), then, on a new game, how many pointer motions a second
// reach the page while DevTools sends 1,000 to 8,000 a second, each rate for 2 s.
// Run after scripts/web.sh.
const { PAGE, attendre, Serveur, Navigateur } = require('./outils');

// Sends `parSeconde` moves a second for `duree` ms over the canvas, 1 ms at a time.
async function Bouger(cdp, parSeconde, duree) {
  const debut = performance.now();
  let n = 0;
  const envois = [];
  while (performance.now() - debut < duree) {
    for (; n < (performance.now() - debut) * parSeconde / 1000; ++n)
      envois.push(cdp.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x: 20 + n % 40, y: 280 + n % 37 }));
    await attendre(1);
  }
  await Promise.all(envois);
  return n;
}

(async () => {
  const serveur = await Serveur(PAGE);
  const navigateur = await Navigateur();
  const page = await navigateur.newPage();
  await page.goto(serveur.adresse);
  await page.waitForFunction(() => Module.calledRun && Module._Passes() > 0);
  const mesure = () => page.evaluate(() => [Module._Passes(), performance.now()]);
  const [n0, t0] = await mesure();
  await attendre(5000);
  const [n1, t1] = await mesure();
  console.log(`${((n1 - n0) * 1000 / (t1 - t0)).toFixed(0)} passes a second`);

  await page.reload();
  await page.waitForFunction(() => Module.calledRun && Module._Passes() > 0);
  await page.evaluate(() => {
    window.mouvements = 0;
    window.fondus = 0;   // the moves the browser merged into those events
    document.addEventListener('mousemove', e => {
      ++window.mouvements;
      window.fondus += e.getCoalescedEvents ? e.getCoalescedEvents().length : 1;
    }, true);
  });
  const cdp = await page.createCDPSession();
  for (const parSeconde of [1000, 2000, 4000, 8000]) {
    const [m0, f0, u0] = await page.evaluate(() => [window.mouvements, window.fondus, performance.now()]);
    const t = performance.now();
    const envoyes = await Bouger(cdp, parSeconde, 2000);
    const s = (performance.now() - t) / 1000;
    const [m1, f1, u1] = await page.evaluate(() => [window.mouvements, window.fondus, performance.now()]);
    const parS = n => (n * 1000 / (u1 - u0)).toFixed(0);
    console.log(`${(envoyes / s).toFixed(0)} moves sent a second: ${parS(m1 - m0)} mousemove events a second ` +
                `reached the page, carrying ${parS(f1 - f0)} moves`);
  }
  await navigateur.close();
  serveur.close();
})();
