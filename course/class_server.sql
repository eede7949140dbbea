-- Who may do what on a class server, run by kesta-admin on a database that holds a course.
-- Students connect with a login role that is a member of kesta_student, teachers with one
-- that is a member of kesta_teacher. A student reads the course materials and the questions'
-- texts, but never the correct answers; signs in, registers and hands in only through the
-- functions below, which know who signed in on the connection; and reads only their own
-- results and answer records. A teacher does what the teacher window does.

DO $$
BEGIN
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'kesta_student') THEN
    CREATE ROLE kesta_student NOLOGIN;
  END IF;
  IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'kesta_teacher') THEN
    CREATE ROLE kesta_teacher NOLOGIN;
  END IF;
END
$$;

-- Who signed in on each connection, written by the sign-in functions alone. A connection's
-- process number is given again by the server later; its start time tells the two apart.
CREATE TABLE IF NOT EXISTS kesta_sessions (
  pid     integer PRIMARY KEY,
  started timestamptz NOT NULL,
  login   text NOT NULL
);

-- The grade scale the program uses, written by kesta-admin from the program's own.
CREATE TABLE IF NOT EXISTS kesta_grades (
  position     integer PRIMARY KEY,
  from_percent double precision NOT NULL,
  to_percent   double precision NOT NULL,
  letter       text NOT NULL,
  caption      text NOT NULL
);

-- Hand-in numbers, going on above those the answer records hold.
DO $$
BEGIN
  IF to_regclass('"proverka_Номер_сдачи_kesta_number"') IS NULL THEN
    CREATE SEQUENCE "proverka_Номер_сдачи_kesta_number";
    PERFORM setval('"proverka_Номер_сдачи_kesta_number"',
                   (SELECT coalesce(max("Номер_сдачи"), 0) FROM proverka) + 1, false);
  END IF;
END
$$;

-- The login signed in on this connection; empty when nobody is.
CREATE OR REPLACE FUNCTION kesta_session_login() RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT s.login FROM kesta_sessions s JOIN pg_stat_activity a ON a.pid = s.pid
   WHERE s.pid = pg_backend_pid() AND a.backend_start = s.started
$$;

CREATE OR REPLACE FUNCTION kesta_begin_session(who text) RETURNS void
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  began timestamptz := (SELECT backend_start FROM pg_stat_activity WHERE pid = pg_backend_pid());
BEGIN
  IF began IS NULL THEN
    RAISE EXCEPTION 'Владельцу курса на сервере нужна роль pg_read_all_stats, чтобы различать '
                    'соединения мест (GRANT pg_read_all_stats TO %)', current_user;
  END IF;
  DELETE FROM kesta_sessions
   WHERE pid = pg_backend_pid() OR pid NOT IN (SELECT pid FROM pg_stat_activity);
  INSERT INTO kesta_sessions (pid, started, login) VALUES (pg_backend_pid(), began, who);
END
$$;
REVOKE ALL ON FUNCTION kesta_begin_session(text) FROM PUBLIC;

-- The settings of the account's password hash (its algorithm, costs and salt, the hash
-- itself left out), from which the program works out the proof it signs in with: empty for
-- a password kept as typed by an older course, nothing for a login no account has.
CREATE OR REPLACE FUNCTION kesta_password_settings(login_key text) RETURNS text
LANGUAGE sql STABLE SECURITY DEFINER SET search_path = public, pg_temp AS $$
  SELECT CASE WHEN "Пароль" LIKE '$argon2id$%' THEN regexp_replace("Пароль", '[^$]*$', '')
              ELSE '' END
    FROM users WHERE "Логин_ключ" = login_key ORDER BY kesta_key LIMIT 1
$$;

-- Signs the connection in when the proof is the account's stored hash (or, for an older
-- account, its password as typed); answers the account's login and role, nothing when the
-- proof does not fit.
CREATE OR REPLACE FUNCTION kesta_sign_in(login_key text, proof text,
                                         OUT login text, OUT role text)
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  account record;
BEGIN
  SELECT "Логин" AS l, "Пароль" AS p, "Примечание" AS r INTO account
    FROM users WHERE "Логин_ключ" = login_key ORDER BY kesta_key LIMIT 1;
  IF NOT FOUND OR account.p IS DISTINCT FROM proof THEN
    RETURN;
  END IF;
  PERFORM kesta_begin_session(account.l);
  login := account.l;
  role := account.r;
END
$$;

-- Registers a student's account and signs the connection in; false when the login is taken.
CREATE OR REPLACE FUNCTION kesta_register(new_login text, login_key text, password_hash text)
RETURNS boolean
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  IF coalesce(new_login, '') = '' OR coalesce(password_hash, '') NOT LIKE '$argon2id$%' THEN
    RAISE EXCEPTION 'Логин и пароль не могут быть пустыми';
  END IF;
  -- The course's writing steps take their turns under this lock, as the program's do.
  PERFORM pg_advisory_xact_lock(323824612449);
  IF EXISTS (SELECT 1 FROM users WHERE "Логин_ключ" = login_key) THEN
    RETURN false;
  END IF;
  INSERT INTO users ("Логин", "Пароль", "Примечание", "Логин_ключ")
  VALUES (new_login, password_hash, 'student', login_key);
  PERFORM kesta_begin_session(new_login);
  RETURN true;
END
$$;

-- Hands in the test of the student signed in on this connection: the drawn questions' bank
-- keys and the answers given, in their positions. The answers are compared with the key
-- here, counted, graded on the program's scale, and stored with the result row in one
-- step; a question deleted from the bank since the launch counts as not correct.
CREATE OR REPLACE FUNCTION kesta_hand_in(question_keys bigint[], answers text[], day date,
                                         topic text,
                                         OUT correct integer, OUT letter text, OUT number bigint)
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE
  who text := kesta_session_login();
  positions integer := coalesce(array_length(question_keys, 1), 0);
  right_answers text[];
  questions text[];
  found boolean[];
  percent double precision;
BEGIN
  IF who IS NULL THEN
    RAISE EXCEPTION 'Сдать тест может только вошедший студент';
  END IF;
  IF positions = 0 OR positions <> coalesce(array_length(answers, 1), 0) THEN
    RAISE EXCEPTION 'Ответов должно быть столько же, сколько вопросов';
  END IF;
  -- The bank is read once, so that the count and the stored records agree.
  SELECT array_agg(b."Правильный_ответ" ORDER BY s.position),
         array_agg(b."Вопрос" ORDER BY s.position),
         array_agg(b.kesta_key IS NOT NULL ORDER BY s.position)
    INTO right_answers, questions, found
    FROM unnest(question_keys) WITH ORDINALITY AS s(question_key, position)
    LEFT JOIN LATERAL (SELECT t.kesta_key, t."Правильный_ответ", t."Вопрос" FROM test t
                        WHERE t."Номер" = s.question_key ORDER BY t.kesta_key LIMIT 1) b ON true;
  -- Two empty values are equal; an empty one never equals a filled one.
  SELECT count(*) INTO correct FROM generate_subscripts(question_keys, 1) AS i
   WHERE found[i] AND coalesce(answers[i], '') = coalesce(right_answers[i], '');
  percent := correct * 100.0 / positions;
  SELECT g.letter INTO letter FROM kesta_grades g
   WHERE g.from_percent <= percent AND percent <= g.to_percent ORDER BY g.position LIMIT 1;
  IF letter IS NULL THEN
    SELECT g.letter INTO letter FROM kesta_grades g ORDER BY g.position LIMIT 1;
  END IF;
  number := nextval('"proverka_Номер_сдачи_kesta_number"');
  INSERT INTO result ("Логин_студента", "Дата_тестирования", "Количество вопросов", "Оценка",
                      "Вид тестирования")
  VALUES (who, day, positions, letter, topic);
  INSERT INTO proverka ("Логин_студента", "Дата_тестирования", "Ответ_студента",
                        "Правильный_ответ", "Вид_тестирования", "Вопрос", "Номер_сдачи",
                        "Номер_в_базе")
  SELECT who, day, answers[i], right_answers[i], topic, questions[i], number, question_keys[i]
    FROM generate_subscripts(question_keys, 1) AS i ORDER BY i;
  UPDATE kesta_seats SET testing = false WHERE pid = pg_backend_pid();
  PERFORM pg_notify('kesta_testing', '');
END
$$;

-- The teacher's windows hear of every change of the journal (channel kesta_journal) and of
-- every test launched or handed in (kesta_testing), and refresh themselves. Which seats have
-- a test under way is kept beside their connection.
ALTER TABLE kesta_seats ADD COLUMN IF NOT EXISTS testing boolean NOT NULL DEFAULT false;

CREATE OR REPLACE FUNCTION kesta_journal_changed() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
  PERFORM pg_notify('kesta_journal', '');
  RETURN NULL;
END
$$;

CREATE OR REPLACE FUNCTION kesta_test_launched() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  UPDATE kesta_seats SET testing = true WHERE pid = pg_backend_pid();
  PERFORM pg_notify('kesta_testing', '');
  RETURN NULL;
END
$$;

DROP TRIGGER IF EXISTS kesta_journal_changed ON result;
DROP TRIGGER IF EXISTS kesta_journal_changed ON proverka;
DROP TRIGGER IF EXISTS kesta_test_launched ON testing;
CREATE TRIGGER kesta_journal_changed AFTER INSERT OR UPDATE OR DELETE ON result
  FOR EACH STATEMENT EXECUTE FUNCTION kesta_journal_changed();
CREATE TRIGGER kesta_journal_changed AFTER INSERT OR UPDATE OR DELETE ON proverka
  FOR EACH STATEMENT EXECUTE FUNCTION kesta_journal_changed();
CREATE TRIGGER kesta_test_launched AFTER INSERT ON testing
  FOR EACH STATEMENT EXECUTE FUNCTION kesta_test_launched();

REVOKE ALL ON FUNCTION kesta_session_login(), kesta_password_settings(text),
  kesta_sign_in(text, text), kesta_register(text, text, text),
  kesta_hand_in(bigint[], text[], date, text) FROM PUBLIC;
GRANT EXECUTE ON FUNCTION kesta_session_login(), kesta_password_settings(text),
  kesta_sign_in(text, text), kesta_register(text, text, text),
  kesta_hand_in(bigint[], text[], date, text) TO kesta_student, kesta_teacher;

-- Nobody but the course's owner reaches a table unless granted below.
REVOKE ALL ON ALL TABLES IN SCHEMA public FROM PUBLIC;
REVOKE ALL ON ALL SEQUENCES IN SCHEMA public FROM PUBLIC;
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO kesta_student, kesta_teacher;

-- The teacher: every table of the course and its numbering, but the sign-ins.
GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO kesta_teacher;
GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO kesta_teacher;
REVOKE ALL ON kesta_sessions FROM kesta_teacher;

-- The student: the materials, the questions without their answers, the running test, and
-- their own results and answer records.
GRANT SELECT ON teoria, praktika, dopolnenie, presentacia, video, kesta_columns, kesta_grades
  TO kesta_student;
GRANT SELECT (kesta_key, "Номер", "Номер_вопроса", "Вопрос") ON test TO kesta_student;
GRANT SELECT, INSERT, UPDATE, DELETE ON testing TO kesta_student;
GRANT USAGE ON SEQUENCE "testing_kesta_key" TO kesta_student;
GRANT SELECT ON result, proverka TO kesta_student;
GRANT SELECT, INSERT, DELETE ON kesta_seats TO kesta_student;

ALTER TABLE result ENABLE ROW LEVEL SECURITY;
ALTER TABLE proverka ENABLE ROW LEVEL SECURITY;
DROP POLICY IF EXISTS kesta_own ON result;
DROP POLICY IF EXISTS kesta_own ON proverka;
DROP POLICY IF EXISTS kesta_teacher ON result;
DROP POLICY IF EXISTS kesta_teacher ON proverka;
CREATE POLICY kesta_own ON result FOR SELECT TO kesta_student
  USING ("Логин_студента" = (SELECT kesta_session_login()));
CREATE POLICY kesta_own ON proverka FOR SELECT TO kesta_student
  USING ("Логин_студента" = (SELECT kesta_session_login()));
CREATE POLICY kesta_teacher ON result TO kesta_teacher USING (true) WITH CHECK (true);
CREATE POLICY kesta_teacher ON proverka TO kesta_teacher USING (true) WITH CHECK (true);
